#include "analytics/sdk/properties_node.h"

#include "analytics/sdk/console_messages.h"
#include "analytics/sdk/record_rules.h"

namespace usage_analytics {

using utils::ValueNode;

void PropertiesNode::SetString(const std::string& name, const std::string& value) {
    if (value.size() > kMaxStringLength) {
        WriteError("String property '" + name + "' is too long, value: " + value + "\n");
        return;
    }
    if (!IsValidUtf8(value)) {
        WriteError("String property '" + name + "' is not valid UTF-8 string, value: " + value + "\n");
        return;
    }
    Set(name, ValueNode::String(value));
}

void PropertiesNode::SetNumber(const std::string& name, double value) { Set(name, ValueNode::Number(value)); }

void PropertiesNode::SetInt(const std::string& name, int64_t value) { Set(name, ValueNode::Int(value)); }

void PropertiesNode::SetBool(const std::string& name, bool value) { Set(name, ValueNode::Bool(value)); }

void PropertiesNode::SetList(const std::string& name, const std::vector<std::string>& values) {
    Set(name, ValueNode::List(values));
}

void PropertiesNode::SetDateTime(const std::string& name, int64_t seconds, int milliseconds) {
    Set(name, ValueNode::DateTime(seconds, milliseconds));
}

void PropertiesNode::SetObject(const std::string& name, const utils::ObjectNode& value) {
    Set(name, ValueNode::Object(value));
}

}  // namespace usage_analytics
