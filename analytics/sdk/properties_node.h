// The property set that every record-producing operation of the SDK accepts. The string
// setter refuses texts the collector would reject (oversize, not UTF-8) by leaving the
// property out and saying so on standard error; the record is still sent without it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analytics/sdk/value_node.h"

namespace usage_analytics {

class PropertiesNode : public utils::ObjectNode {
public:
    static constexpr size_t kMaxStringLength = 8192;

    void SetString(const std::string& name, const std::string& value);
    void SetNumber(const std::string& name, double value);
    void SetInt(const std::string& name, int64_t value);
    void SetBool(const std::string& name, bool value);
    void SetList(const std::string& name, const std::vector<std::string>& values);
    void SetDateTime(const std::string& name, int64_t seconds, int milliseconds);
    void SetObject(const std::string& name, const utils::ObjectNode& value);
};

}  // namespace usage_analytics
