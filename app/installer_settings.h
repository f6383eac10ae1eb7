// The one process-wide settings record, filled in three layers: built-in defaults, the INI
// file "QuillonInstallerConfig.ini" beside the executable (both during static
// initialisation), then the command line (once, at start-up). Written only on the first
// thread before any other thread exists; read-only, and so read without locks, afterwards.
#pragma once

#include <cstdint>
#include <map>
#include <string>

struct InstallerSettings {
    std::wstring m_ProductId;
    std::wstring m_Version;
    std::wstring m_FileName;
    std::wstring m_DlAppNameSuffix;
    std::wstring m_DlAppVersion;
    std::wstring m_InstCmd;
    std::wstring m_DownloadUrl;
    int32_t m_DownloadType = 1;
    bool m_IsCheckNet = false;
    bool m_IsEnableAppAnalytics = true;
    double m_DownloadScale = 0.7;
    bool m_NetworkReady = true;
    std::wstring m_AbValue;
    int32_t m_Language = 0;
    bool m_InsNew = false;
};

extern InstallerSettings g_InstallerSettings;

using SwitchMap = std::map<std::wstring, std::wstring>;

// "http://" + the maker's download host + "/software/366".
std::wstring DefaultPackageUrl();

// Defaults and the INI file beside the executable into g_InstallerSettings.
void LoadInstallerSettings();
// The process command line's switches into g_InstallerSettings.
void ApplyCommandLine();

SwitchMap ParseCommandLine(const std::wstring& commandLine);
std::wstring RouteDownloadUrl(const std::wstring& url);

// The layers as plain steps, for start-up and for tests.
InstallerSettings DefaultInstallerSettings();
void ApplyIniFile(InstallerSettings& settings, const std::wstring& iniPath);
void ApplySwitches(InstallerSettings& settings, const SwitchMap& switches);

// "<folder of exePath>\QuillonInstallerConfig.ini".
std::wstring IniPathBeside(const std::wstring& exePath);
