// What every "track" record says about the application, the system, the screen and the
// locale. Computed once when the tracker starts; the version numbers and the 64-bit answer
// come through the seams of utils/system_version.h.
#pragma once

#include <string>

#include "analytics/sdk/properties_node.h"
#include "analytics/tracker_types.h"
#include "utils/system_version.h"

namespace quillon {
namespace tracking {

// "7", "7-32", "10", "11", "XP", "Server 2003 R2", "6.4.9600" ... for the given numbers.
std::string OsVersionText(const Utils::VersionNumbers& numbers, bool is64Bit);
// The text for the running system; "XP-" when the numbers cannot be read.
std::string CurrentOsVersionText();
bool IsSystem64Bit();

struct LocaleTriple {
    std::string locale;    // "zh_CN"
    std::string language;  // "zh"
    std::string country;   // "CN"
};

// From an override such as "en_US" when it holds "_", otherwise from the user's locale;
// three empty texts when the system cannot say.
LocaleTriple ComputeLocale(const std::string& localeOverride);

// "Mozilla/5.0(Windows <version>; Win64;)" or "...; Win32;)".
std::string UserAgentText();

struct PresetInputs {
    std::string appName;
    std::string appVersion;
    std::string appStore;
    std::string edition;  // "china" or "overseas"
    std::string dlAppId;
    std::string dlAppVersion;
    std::string userId;
};

usage_analytics::PropertiesNode BuildPresetProperties(const PresetInputs& inputs);

}  // namespace tracking
}  // namespace quillon
