#include "app/installer_settings.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cwchar>
#include <optional>

#include "app/build_config.h"
#include "utils/system_version.h"

InstallerSettings g_InstallerSettings;

namespace {

// Filled before the entry function runs, so every reader sees the INI values.
const bool g_SettingsLoaded = (LoadInstallerSettings(), true);

constexpr wchar_t kIniSection[] = L"Install";
constexpr wchar_t kIniFileName[] = L"QuillonInstallerConfig.ini";
constexpr wchar_t kRoutePlaceholder[] = L"${ROUTE}";
constexpr int kProductNumber = 579;
constexpr int kProductsWith64BitPackages[] = {267, 385, 257, 335, 318};

std::wstring ReadIniString(const std::wstring& iniPath, const wchar_t* key, const wchar_t* fallback) {
    wchar_t value[MAX_PATH] = {};
    ::GetPrivateProfileStringW(kIniSection, key, fallback, value, MAX_PATH, iniPath.c_str());
    return value;
}

bool IsTrue(const std::wstring& value) { return value == L"true"; }

// Leading white space skipped, the longest valid prefix taken. Nothing readable, or a value
// beyond the range of a double (or "inf"/"nan"), gives no number.
std::optional<double> ReadDecimal(const std::wstring& text) {
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    const double value = std::wcstod(begin, &end);
    if (end == begin || !std::isfinite(value)) return std::nullopt;
    if (errno == ERANGE && std::fabs(value) > 1.0) return std::nullopt;  // overflow; underflow stays
    return value;
}

// Leading white space and a sign allowed, the rest ignored; 0 when nothing is readable.
// Values beyond 32 bits saturate at the nearest limit.
int32_t ReadInteger(const std::wstring& text) {
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    const long long value = std::wcstoll(begin, &end, 10);
    if (end == begin) return 0;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

bool ProductHas64BitPackage() {
    for (int number : kProductsWith64BitPackages) {
        if (number == kProductNumber) return true;
    }
    return false;
}

std::wstring ReplaceAll(std::wstring text, const std::wstring& from, const std::wstring& to) {
    for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::wstring OwnModulePath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

}  // namespace

std::wstring DefaultPackageUrl() { return std::wstring(L"http://") + LUMIVOX_DOWNLOAD_HOST_W + L"/software/366"; }

InstallerSettings DefaultInstallerSettings() {
    InstallerSettings settings;
    settings.m_ProductId = L"lumivoxApp";
    settings.m_Version = L"1.7.9";
    settings.m_FileName = L"NULL";
    settings.m_DlAppNameSuffix = L".downloader";
    settings.m_DownloadUrl = RouteDownloadUrl(DefaultPackageUrl());
    settings.m_AbValue = L"IN";
    return settings;
}

std::wstring IniPathBeside(const std::wstring& exePath) {
    wchar_t folder[MAX_PATH] = {};
    ::lstrcpynW(folder, exePath.c_str(), MAX_PATH);
    ::PathRemoveFileSpecW(folder);
    return std::wstring(folder) + L"\\" + kIniFileName;
}

void ApplyIniFile(InstallerSettings& settings, const std::wstring& iniPath) {
    if (!::PathFileExistsW(iniPath.c_str())) return;
    const std::wstring defaultUrl = DefaultPackageUrl();
    settings.m_DownloadUrl = RouteDownloadUrl(ReadIniString(iniPath, L"DownloadUrl", defaultUrl.c_str()));
    settings.m_DownloadType = static_cast<int32_t>(::GetPrivateProfileIntW(kIniSection, L"DownloadType", 1, iniPath.c_str()));
    settings.m_IsCheckNet = IsTrue(ReadIniString(iniPath, L"IsCheckNet", L"true"));
    settings.m_IsEnableAppAnalytics = IsTrue(ReadIniString(iniPath, L"IsEnableAppAnalytics", L"true"));
    settings.m_DlAppNameSuffix = ReadIniString(iniPath, L"DlAppNameSuffix", L".downloader");
    settings.m_DlAppVersion = ReadIniString(iniPath, L"m_DlAppVersion", L"");
    settings.m_DownloadScale = ReadDecimal(ReadIniString(iniPath, L"DownloadScale", L"0.7")).value_or(0.0);
    settings.m_InstCmd = ReadIniString(iniPath, L"InstCmd", L"");
}

void ApplySwitches(InstallerSettings& settings, const SwitchMap& switches) {
    const auto apply = [&switches](const wchar_t* name, auto&& assign) {
        const auto found = switches.find(name);
        if (found != switches.end()) assign(found->second);
    };
    apply(L"-downloadurl", [&](const std::wstring& v) { settings.m_DownloadUrl = RouteDownloadUrl(v); });
    apply(L"-downloadtype", [&](const std::wstring& v) { settings.m_DownloadType = ReadInteger(v); });
    // An unreadable scale keeps the value the INI file or the default gave.
    apply(L"-downloadscale",
          [&](const std::wstring& v) { settings.m_DownloadScale = ReadDecimal(v).value_or(settings.m_DownloadScale); });
    apply(L"-ischecknet", [&](const std::wstring& v) { settings.m_IsCheckNet = IsTrue(v); });
    apply(L"-isenableappanalytics", [&](const std::wstring& v) { settings.m_IsEnableAppAnalytics = IsTrue(v); });
    apply(L"-instcmd", [&](const std::wstring& v) { settings.m_InstCmd = v; });
    apply(L"-language", [&](const std::wstring& v) { settings.m_Language = ReadInteger(v); });
    apply(L"-insnew", [&](const std::wstring& v) { settings.m_InsNew = IsTrue(v); });
}

SwitchMap ParseCommandLine(const std::wstring& commandLine) {
    SwitchMap switches;
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(commandLine.c_str(), &count);
    if (arguments == nullptr) return switches;
    for (int i = 0; i < count; ++i) {
        const std::wstring argument = arguments[i];
        const size_t equals = argument.find(L'=');
        if (!argument.empty() && argument[0] == L'-' && equals != std::wstring::npos) {
            switches.emplace(argument.substr(0, equals), argument.substr(equals + 1));
        } else {
            switches.emplace(argument, L"");
        }
    }
    ::LocalFree(arguments);
    return switches;
}

std::wstring RouteDownloadUrl(const std::wstring& url) {
    if (url.find(kRoutePlaceholder) == std::wstring::npos) return url;
    std::wstring route = L"download_silent";
    if (Utils::GetOsVersionName().name.find(L"XP") != std::wstring::npos) {
        route = L"download_silent_xp";
    } else if (ProductHas64BitPackage() && Utils::IsWow64()) {
        route = L"download_silent_64";
    }
    return ReplaceAll(url, kRoutePlaceholder, route);
}

void LoadInstallerSettings() {
    g_InstallerSettings = DefaultInstallerSettings();
    const std::wstring exePath = OwnModulePath();
    g_InstallerSettings.m_FileName = ::PathFindFileNameW(exePath.c_str());
    ApplyIniFile(g_InstallerSettings, IniPathBeside(exePath));
}

void ApplyCommandLine() { ApplySwitches(g_InstallerSettings, ParseCommandLine(::GetCommandLineW())); }
