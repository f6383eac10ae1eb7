#include "analytics/sdk/value_node.h"

#include <windows.h>

#include <cstdio>

namespace usage_analytics {
namespace utils {

ValueNode ValueNode::Number(double value) {
    ValueNode node(NUMBER);
    node.m_Number = value;
    return node;
}

ValueNode ValueNode::Int(int64_t value) {
    ValueNode node(INT);
    node.m_Integer = value;
    return node;
}

ValueNode ValueNode::String(std::string value) {
    ValueNode node(STRING);
    node.m_Text = std::move(value);
    return node;
}

ValueNode ValueNode::List(std::vector<std::string> values) {
    ValueNode node(LIST);
    node.m_List = std::move(values);
    return node;
}

ValueNode ValueNode::DateTime(int64_t seconds, int milliseconds) {
    ValueNode node(DATETIME);
    node.m_Integer = seconds;
    node.m_Milliseconds = milliseconds;
    return node;
}

ValueNode ValueNode::Bool(bool value) {
    ValueNode node(BOOL);
    node.m_Integer = value ? 1 : 0;
    return node;
}

ValueNode ValueNode::Object(const ObjectNode& value) {
    ValueNode node(OBJECT);
    node.m_Object = std::make_shared<const ObjectNode>(value);
    return node;
}

void ValueNode::AppendJson(std::string& out) const {
    switch (m_Type) {
        case NUMBER:
            AppendJsonNumber(out, m_Number);
            break;
        case INT:
            out += std::to_string(m_Integer);
            break;
        case STRING:
            AppendJsonString(out, m_Text);
            break;
        case LIST:
            out += '[';
            for (size_t i = 0; i < m_List.size(); ++i) {
                if (i > 0) out += ',';
                AppendJsonString(out, m_List[i]);
            }
            out += ']';
            break;
        case DATETIME:
            AppendJsonDateTime(out, m_Integer, m_Milliseconds);
            break;
        case BOOL:
            out += m_Integer != 0 ? "true" : "false";
            break;
        case OBJECT:
            if (m_Object) {
                m_Object->AppendJson(out);
            } else {
                out += "{}";
            }
            break;
    }
}

void ObjectNode::Set(const std::string& name, ValueNode value) {
    auto found = m_Entries.find(name);
    if (found != m_Entries.end()) {
        found->second = std::move(value);
    } else {
        m_Entries.emplace(name, std::move(value));
    }
}

const ValueNode* ObjectNode::Find(const std::string& name) const {
    const auto found = m_Entries.find(name);
    return found != m_Entries.end() ? &found->second : nullptr;
}

bool ObjectNode::Remove(const std::string& name) { return m_Entries.erase(name) > 0; }

void ObjectNode::Merge(const ObjectNode& other) {
    for (const auto& entry : other.m_Entries) Set(entry.first, entry.second);
}

void ObjectNode::AppendJson(std::string& out) const {
    out += '{';
    bool first = true;
    for (const auto& entry : m_Entries) {
        if (!first) out += ',';
        first = false;
        // Names were validated as variable names on the way in, so they need no escaping.
        out += '"';
        out += entry.first;
        out += "\":";
        entry.second.AppendJson(out);
    }
    out += '}';
}

std::string ObjectNode::ToJson() const {
    std::string out;
    AppendJson(out);
    return out;
}

void AppendJsonNumber(std::string& out, double value) {
    // "%g" with the default precision of 6 is what an output stream with default settings
    // writes; the C runtime here is mingw's own, so exponents have at least two digits.
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%g", value);
    if (length > 0) out.append(text, static_cast<size_t>(length) < sizeof text ? length : sizeof text - 1);
}

void AppendJsonString(std::string& out, const std::string& value) {
    out += '"';
    for (const char c : value) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: out += c; break;
        }
    }
    out += '"';
}

void AppendJsonDateTime(std::string& out, int64_t seconds, int milliseconds) {
    // Seconds since 1970 to FILETIME (100 ns since 1601), then to local time with the
    // time-zone rules that applied at that moment.
    const int64_t ticks = (seconds + 11644473600LL) * 10000000LL;
    FILETIME utcFile{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32)};
    SYSTEMTIME utc{}, local{};
    if (!::FileTimeToSystemTime(&utcFile, &utc) || !::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        local = utc;
    }
    char text[48];
    const int length = std::snprintf(text, sizeof text, "\"%04d-%02d-%02d %02d:%02d:%02d.%03d\"", local.wYear,
                                     local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond,
                                     milliseconds);
    if (length > 0) out.append(text, static_cast<size_t>(length) < sizeof text ? length : sizeof text - 1);
}

}  // namespace utils
}  // namespace usage_analytics
