#include "analytics/preset_properties.h"

#include <windows.h>

namespace quillon {
namespace tracking {

namespace {

std::string Dotted(const Utils::VersionNumbers& n) {
    return std::to_string(n.major) + "." + std::to_string(n.minor) + "." + std::to_string(n.build);
}

std::string Version5Text(const Utils::VersionNumbers& n, bool is64Bit) {
    switch (n.minor) {
        case 0: return "2K";
        case 1: return "XP";
        case 2:
            if (is64Bit) return "XP64";
            return n.serverR2 ? "Server 2003 R2" : "Server 2003";
        default: return "XP+";
    }
}

std::string Version6Text(const Utils::VersionNumbers& n, bool is64Bit) {
    switch (n.minor) {
        case 0: return is64Bit ? "Vista64" : "Vista";
        case 1: return is64Bit ? "7" : "7-32";
        case 2: return is64Bit ? "8" : "8-32";
        case 3: return "8.1";
        default: return "8.1+";
    }
}

std::string ReadLocaleInfo(LCTYPE type) {
    char value[16] = {};
    if (::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, value, sizeof value) == 0) return {};
    return value;
}

}  // namespace

std::string OsVersionText(const Utils::VersionNumbers& n, bool is64Bit) {
    if (n.major <= 4) return "XP-";
    if (n.major == 5) return Version5Text(n, is64Bit);
    if (n.major == 6) return Version6Text(n, is64Bit);
    if (n.major == 10) {
        if (n.minor != 0) return "11+";
        return n.build >= 22000 ? "11" : "10";
    }
    return Dotted(n);
}

std::string CurrentOsVersionText() {
    Utils::VersionNumbers numbers;
    if (!Utils::ReadSystemVersionNumbers(&numbers)) return "XP-";
    return OsVersionText(numbers, IsSystem64Bit());
}

bool IsSystem64Bit() { return Utils::IsWow64(); }

LocaleTriple ComputeLocale(const std::string& localeOverride) {
    const size_t separator = localeOverride.find('_');
    if (separator != std::string::npos) {
        return {localeOverride, localeOverride.substr(0, separator), localeOverride.substr(separator + 1)};
    }
    const std::string language = ReadLocaleInfo(LOCALE_SISO639LANGNAME);
    const std::string country = ReadLocaleInfo(LOCALE_SISO3166CTRYNAME);
    if (language.empty() || country.empty()) return {};
    return {language + "_" + country, language, country};
}

std::string UserAgentText() {
    return "Mozilla/5.0(Windows " + CurrentOsVersionText() + "; Win" + (IsSystem64Bit() ? "64;)" : "32;)");
}

usage_analytics::PropertiesNode BuildPresetProperties(const PresetInputs& inputs) {
    usage_analytics::PropertiesNode p;
    p.SetString("ql_app_id", inputs.appName);
    p.SetString("$app_version", inputs.appVersion);
    p.SetString("$app_id", inputs.appName);
    p.SetString("ql_app_store", inputs.appStore);
    p.SetString("ql_edition", inputs.edition);
    if (!inputs.dlAppId.empty()) p.SetString("ql_dlapp_id", inputs.dlAppId);
    if (!inputs.dlAppVersion.empty()) p.SetString("ql_dlapp_version", inputs.dlAppVersion);
    p.SetString("ql_app_platform", "Windows");
    p.SetString("ql_track_type", "Client");
    p.SetString("ql_sdk_version", "3.3.8");
    p.SetString("ql_sdk", "WindowsCPP");
    p.SetString("$os", "Windows");
    p.SetString("$os_version", CurrentOsVersionText());
    const LocaleTriple locale = ComputeLocale("");
    p.SetString("ql_l10n_locale", locale.locale);
    p.SetString("ql_l10n_language", locale.language);
    p.SetString("ql_l10n_country", locale.country);
    p.SetInt("$screen_height", ::GetSystemMetrics(SM_CYSCREEN));
    p.SetInt("$screen_width", ::GetSystemMetrics(SM_CXSCREEN));
    if (!inputs.userId.empty()) p.SetString("ql_user_id", inputs.userId);
    return p;
}

}  // namespace tracking
}  // namespace quillon
