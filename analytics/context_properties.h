// Properties a caller attaches to chosen event types for one tracking call. The installer
// uses it for its experiment group, "qlc_ab". A context is used by one thread at a time.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "analytics/sdk/properties_node.h"
#include "analytics/tracker_types.h"

namespace quillon {
namespace tracking {

class QlContextProperties {
public:
    static constexpr size_t kEventTypeCount = 15;
    static constexpr char kAbPropertyName[] = "qlc_ab";

    struct Entry {
        std::string name;
        std::shared_ptr<const std::string> value;
    };

    QlContextProperties();

    // Registers the experiment value under "qlc_ab" (once per context) and lists it for each
    // event type given. Raises QlException for a second registration or a type of 15 or
    // more; types listed before the bad one keep their entry.
    void setProperty(const std::vector<QlEventType>& eventTypes, const std::string& value);

    // Raises QlException for a type of 15 or more.
    const std::vector<Entry>& getEventProperties(QlEventType eventType) const;

    // Sets every entry listed for the type on `properties` as a string; false when none.
    bool applyTo(QlEventType eventType, usage_analytics::PropertiesNode& properties) const;

    // One to three characters: a capital, then capitals or digits. Empty is not valid (no
    // error); anything else malformed raises QlException with the reason.
    static bool isValidABValue(const std::string& value);

private:
    std::unordered_map<std::string, std::shared_ptr<const std::string>> m_Properties;
    std::array<std::vector<Entry>, kEventTypeCount> m_EventProperties;
};

}  // namespace tracking
}  // namespace quillon
