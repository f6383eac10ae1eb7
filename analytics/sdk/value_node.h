// Typed JSON values and objects, and the exact JSON text the collector receives: numbers as
// a default output stream writes them (six significant digits, general notation), strings
// with the seven short escapes only, object keys in byte order, no blanks anywhere.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace usage_analytics {
namespace utils {

class ObjectNode;

class ValueNode {
public:
    enum Type { NUMBER = 0, INT = 1, STRING = 2, LIST = 3, DATETIME = 4, BOOL = 5, OBJECT = 6 };

    static ValueNode Number(double value);
    static ValueNode Int(int64_t value);
    static ValueNode String(std::string value);
    static ValueNode List(std::vector<std::string> values);
    static ValueNode DateTime(int64_t seconds, int milliseconds);
    static ValueNode Bool(bool value);
    static ValueNode Object(const ObjectNode& value);

    Type type() const { return m_Type; }
    double number() const { return m_Number; }
    int64_t integer() const { return m_Integer; }  // INT, BOOL (0/1), DATETIME seconds
    int milliseconds() const { return m_Milliseconds; }
    const std::string& text() const { return m_Text; }
    const std::vector<std::string>& list() const { return m_List; }
    const ObjectNode* object() const { return m_Object.get(); }

    void AppendJson(std::string& out) const;

private:
    explicit ValueNode(Type type) : m_Type(type) {}

    Type m_Type;
    double m_Number = 0.0;
    int64_t m_Integer = 0;
    int m_Milliseconds = 0;
    std::string m_Text;
    std::vector<std::string> m_List;
    // Shared, never changed after construction: copies of a value stay independent.
    std::shared_ptr<const ObjectNode> m_Object;
};

class ObjectNode {
public:
    // std::less<std::string> compares bytes as unsigned chars: "$" < capitals < "_" < small.
    using Entries = std::map<std::string, ValueNode>;

    // Replaces an entry of the same name.
    void Set(const std::string& name, ValueNode value);
    const ValueNode* Find(const std::string& name) const;
    bool Remove(const std::string& name);
    // Copies every entry of `other` in, replacing same names.
    void Merge(const ObjectNode& other);
    void Clear() { m_Entries.clear(); }

    bool empty() const { return m_Entries.empty(); }
    size_t size() const { return m_Entries.size(); }
    const Entries& entries() const { return m_Entries; }

    void AppendJson(std::string& out) const;
    std::string ToJson() const;

private:
    Entries m_Entries;
};

// The pieces of the JSON text, usable on their own.
void AppendJsonNumber(std::string& out, double value);
void AppendJsonString(std::string& out, const std::string& value);
// "\"YYYY-MM-DD hh:mm:ss.mmm\"" in local time.
void AppendJsonDateTime(std::string& out, int64_t seconds, int milliseconds);

}  // namespace utils
}  // namespace usage_analytics
