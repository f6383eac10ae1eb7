#include "analytics/context_properties.h"

#include "analytics/ql_exception.h"

namespace quillon {
namespace tracking {

namespace {

size_t CheckedIndex(QlEventType eventType) {
    const auto index = static_cast<int32_t>(eventType);
    if (index < 0 || static_cast<size_t>(index) >= QlContextProperties::kEventTypeCount) {
        QL_THROW("QlEvent[" + std::to_string(index) + "] overflow!");
    }
    return static_cast<size_t>(index);
}

bool IsCapital(char c) { return c >= 'A' && c <= 'Z'; }
bool IsCapitalOrDigit(char c) { return IsCapital(c) || (c >= '0' && c <= '9'); }

}  // namespace

constexpr char QlContextProperties::kAbPropertyName[];

QlContextProperties::QlContextProperties() : m_Properties(8) { m_Properties.max_load_factor(1.0f); }

void QlContextProperties::setProperty(const std::vector<QlEventType>& eventTypes, const std::string& value) {
    const std::string name = kAbPropertyName;
    if (m_Properties.count(name) != 0) QL_THROW("Property[" + name + "] already exist!");
    const auto shared = std::make_shared<const std::string>(value);
    m_Properties.emplace(name, shared);
    for (const QlEventType eventType : eventTypes) {
        m_EventProperties[CheckedIndex(eventType)].push_back(Entry{name, shared});
    }
}

const std::vector<QlContextProperties::Entry>& QlContextProperties::getEventProperties(QlEventType eventType) const {
    return m_EventProperties[CheckedIndex(eventType)];
}

bool QlContextProperties::applyTo(QlEventType eventType, usage_analytics::PropertiesNode& properties) const {
    const auto& entries = getEventProperties(eventType);
    for (const auto& entry : entries) properties.SetString(entry.name, *entry.value);
    return !entries.empty();
}

bool QlContextProperties::isValidABValue(const std::string& value) {
    if (value.empty()) return false;
    if (value.size() >= 4) QL_THROW("value's length is great than 3.");
    if (!IsCapital(value[0])) QL_THROW("First char is not in A to Z");
    if (value.size() > 1 && !IsCapitalOrDigit(value[1])) QL_THROW("second char is not in A to Z and 0 to 9");
    if (value.size() > 2 && !IsCapitalOrDigit(value[2])) QL_THROW("third char is not in A to Z and 0 to 9");
    return true;
}

}  // namespace tracking
}  // namespace quillon
