#include "app/installer_settings.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/support/temp_folder.h"
#include "utils/system_version.h"

namespace {

using TestSupport::TempFolder;

// The layering of start-up: defaults, an INI file (or none), then a command line.
InstallerSettings Resolve(const char* iniText, const std::wstring& commandLine = L"setup.exe") {
    TempFolder folder;
    InstallerSettings settings = DefaultInstallerSettings();
    if (iniText != nullptr) {
        ApplyIniFile(settings, folder.Write(L"QuillonInstallerConfig.ini", iniText));
    } else {
        ApplyIniFile(settings, folder.File(L"QuillonInstallerConfig.ini"));
    }
    ApplySwitches(settings, ParseCommandLine(commandLine));
    return settings;
}

TEST(InstallerSettings, DefaultsWithoutIniFile) {
    const InstallerSettings s = Resolve(nullptr);
    EXPECT_EQ(s.m_ProductId, L"lumivoxApp");
    EXPECT_EQ(s.m_Version, L"1.7.9");
    EXPECT_EQ(s.m_DownloadUrl, DefaultPackageUrl());
    EXPECT_EQ(s.m_DownloadType, 1);
    EXPECT_FALSE(s.m_IsCheckNet);
    EXPECT_TRUE(s.m_IsEnableAppAnalytics);
    EXPECT_DOUBLE_EQ(s.m_DownloadScale, 0.7);
    EXPECT_EQ(s.m_DlAppNameSuffix, L".downloader");
    EXPECT_EQ(s.m_DlAppVersion, L"");
    EXPECT_EQ(s.m_InstCmd, L"");
    EXPECT_EQ(s.m_AbValue, L"IN");
    EXPECT_EQ(s.m_Language, 0);
    EXPECT_FALSE(s.m_InsNew);
    EXPECT_TRUE(s.m_NetworkReady);
}

TEST(InstallerSettings, DefaultHostCanNeverResolve) {
    const std::wstring url = DefaultPackageUrl();
    EXPECT_EQ(url.rfind(L"http://", 0), 0u);
    EXPECT_NE(url.find(L".invalid/software/366"), std::wstring::npos) << url;
}

TEST(InstallerSettings, EmptyIniFileTurnsTheNetworkCheckOn) {
    const InstallerSettings s = Resolve("");
    EXPECT_TRUE(s.m_IsCheckNet);
    EXPECT_TRUE(s.m_IsEnableAppAnalytics);
    EXPECT_EQ(s.m_DownloadUrl, DefaultPackageUrl());
    EXPECT_EQ(s.m_DownloadType, 1);
    EXPECT_DOUBLE_EQ(s.m_DownloadScale, 0.7);
    EXPECT_EQ(s.m_DlAppNameSuffix, L".downloader");
}

TEST(InstallerSettings, EveryIniKey) {
    const InstallerSettings s = Resolve(
        "[Install]\r\n"
        "DownloadUrl=http://127.0.0.1:8080/software/366\r\n"
        "DownloadType=3\r\n"
        "IsCheckNet=false\r\n"
        "IsEnableAppAnalytics=TRUE\r\n"
        "DlAppNameSuffix=.dl\r\n"
        "m_DlAppVersion=2.0.1\r\n"
        "DownloadScale=  0.25xyz\r\n"
        "InstCmd=-x=1 -y\r\n");
    EXPECT_EQ(s.m_DownloadUrl, L"http://127.0.0.1:8080/software/366");
    EXPECT_EQ(s.m_DownloadType, 3);
    EXPECT_FALSE(s.m_IsCheckNet);
    EXPECT_FALSE(s.m_IsEnableAppAnalytics) << "only the exact text \"true\" is true";
    EXPECT_EQ(s.m_DlAppNameSuffix, L".dl");
    EXPECT_EQ(s.m_DlAppVersion, L"2.0.1");
    EXPECT_DOUBLE_EQ(s.m_DownloadScale, 0.25);
    EXPECT_EQ(s.m_InstCmd, L"-x=1 -y");
}

TEST(InstallerSettings, IniValueIsCutTo259Characters) {
    const std::string longUrl = "http://h/" + std::string(400, 'a');
    const InstallerSettings s = Resolve(("[Install]\r\nDownloadUrl=" + longUrl + "\r\n").c_str());
    EXPECT_EQ(s.m_DownloadUrl.size(), 259u);
    EXPECT_EQ(s.m_DownloadUrl, std::wstring(longUrl.begin(), longUrl.begin() + 259));
}

TEST(InstallerSettings, UnreadableIniNumbers) {
    struct Case {
        const char* ini;
        int type;
        double scale;
    };
    const Case cases[] = {
        {"[Install]\r\nDownloadType=abc\r\nDownloadScale=abc\r\n", 0, 0.0},
        {"[Install]\r\nDownloadScale=1e999\r\n", 1, 0.0},
        {"[Install]\r\nDownloadScale=inf\r\n", 1, 0.0},
        {"[Install]\r\nDownloadScale=1e-400\r\n", 1, 0.0},
        {"[Install]\r\nDownloadScale=.5\r\n", 1, 0.5},
    };
    for (const Case& c : cases) {
        const InstallerSettings s = Resolve(c.ini);
        EXPECT_EQ(s.m_DownloadType, c.type) << c.ini;
        EXPECT_DOUBLE_EQ(s.m_DownloadScale, c.scale) << c.ini;
    }
}

TEST(InstallerSettings, SwitchesOverrideTheIniFile) {
    const char* ini = "[Install]\r\nDownloadScale=0.9\r\nDownloadType=3\r\nIsCheckNet=true\r\n";
    struct Case {
        const wchar_t* commandLine;
        double scale;
        int type;
        bool checkNet;
    };
    const Case cases[] = {
        {L"setup.exe -downloadscale=0.5", 0.5, 3, true},
        {L"setup.exe -downloadscale=abc", 0.9, 3, true},    // unreadable keeps the INI value
        {L"setup.exe -downloadscale=1e999", 0.9, 3, true},  // beyond a double: same
        {L"setup.exe -downloadtype", 0.9, 0, true},         // no value
        {L"setup.exe -downloadtype=abc", 0.9, 0, true},
        {L"setup.exe \"-downloadtype=  -3xyz\"", 0.9, -3, true},
        {L"setup.exe -downloadtype=99999999999", 0.9, INT_MAX, true},
        {L"setup.exe -downloadtype=-99999999999", 0.9, INT_MIN, true},
        {L"setup.exe -ischecknet=TRUE", 0.9, 3, false},
        {L"setup.exe -ischecknet=false -ischecknet=true", 0.9, 3, false},  // first one kept
        {L"setup.exe -IsCheckNet=false -DownloadType=2", 0.9, 3, true},     // other capitals ignored
    };
    for (const Case& c : cases) {
        const InstallerSettings s = Resolve(ini, c.commandLine);
        EXPECT_DOUBLE_EQ(s.m_DownloadScale, c.scale) << c.commandLine;
        EXPECT_EQ(s.m_DownloadType, c.type) << c.commandLine;
        EXPECT_EQ(s.m_IsCheckNet, c.checkNet) << c.commandLine;
    }
}

TEST(InstallerSettings, TextAndFlagSwitches) {
    const InstallerSettings s = Resolve(
        nullptr,
        L"\"C:\\Program Files\\setup.exe\" -downloadurl=http://a/1 -downloadurl=http://b/2 "
        L"\"-instcmd=-k=1 -m\" -language=2 -insnew=true -isenableappanalytics=false -unknown=5");
    EXPECT_EQ(s.m_DownloadUrl, L"http://a/1");
    EXPECT_EQ(s.m_InstCmd, L"-k=1 -m");
    EXPECT_EQ(s.m_Language, 2);
    EXPECT_TRUE(s.m_InsNew);
    EXPECT_FALSE(s.m_IsEnableAppAnalytics);

    EXPECT_FALSE(Resolve(nullptr, L"setup.exe -insnew").m_InsNew);
    EXPECT_EQ(Resolve(nullptr, L"setup.exe -language=x").m_Language, 0);
    EXPECT_EQ(Resolve(nullptr, L"setup.exe -language=4294967296").m_Language, INT_MAX);
}

TEST(ParseCommandLine, KeysValuesAndFirstWins) {
    const SwitchMap map = ParseCommandLine(L"\"C:\\dir one\\setup.exe\" -a=1 -a=2 b -c");
    const SwitchMap expected = {
        {L"C:\\dir one\\setup.exe", L""}, {L"-a", L"1"}, {L"b", L""}, {L"-c", L""}};
    EXPECT_EQ(map, expected);

    const SwitchMap equalsInValue = ParseCommandLine(L"setup.exe -u=http://h/?a=b x=y");
    EXPECT_EQ(equalsInValue.at(L"-u"), L"http://h/?a=b");
    EXPECT_EQ(equalsInValue.at(L"x=y"), L"") << "only switches starting with '-' are split";
}

class RouteTest : public ::testing::Test {
protected:
    void TearDown() override {
        Utils::SetVersionNumbersReader(nullptr);
        Utils::SetWow64Reader(nullptr);
    }
};

TEST_F(RouteTest, RouteByWindowsVersionAndBitness) {
    using Reader = Utils::VersionNumbersReader;
    const Reader xp = [](Utils::VersionNumbers* n) { *n = {5, 1, 2600, false}; return true; };
    const Reader seven = [](Utils::VersionNumbers* n) { *n = {6, 1, 7601, false}; return true; };
    const Reader ten = [](Utils::VersionNumbers* n) { *n = {10, 0, 19045, false}; return true; };
    const Utils::Wow64Reader bits64 = [] { return true; };
    const Utils::Wow64Reader bits32 = [] { return false; };
    struct Case {
        Reader version;
        Utils::Wow64Reader wow64;
        const wchar_t* url;
        const wchar_t* routed;
    };
    const Case cases[] = {
        {xp, bits32, L"http://h/${ROUTE}/366", L"http://h/download_silent_xp/366"},
        {xp, bits64, L"http://h/${ROUTE}/366", L"http://h/download_silent_xp/366"},
        {seven, bits64, L"http://h/${ROUTE}/366", L"http://h/download_silent/366"},
        {seven, bits32, L"http://h/${ROUTE}/366", L"http://h/download_silent/366"},
        {ten, bits64, L"http://h/${ROUTE}/a/${ROUTE}", L"http://h/download_silent/a/download_silent"},
        {xp, bits32, L"http://h/${route}/366", L"http://h/${route}/366"},
        {xp, bits32, L"http://h/software/366", L"http://h/software/366"},
    };
    for (const Case& c : cases) {
        Utils::SetVersionNumbersReader(c.version);
        Utils::SetWow64Reader(c.wow64);
        EXPECT_EQ(RouteDownloadUrl(c.url), c.routed) << c.url;
    }
}

TEST_F(RouteTest, IniAndSwitchUrlsAreRouted) {
    Utils::SetVersionNumbersReader([](Utils::VersionNumbers* n) { *n = {5, 1, 2600, false}; return true; });
    EXPECT_EQ(Resolve("[Install]\r\nDownloadUrl=http://h/${ROUTE}\r\n").m_DownloadUrl, L"http://h/download_silent_xp");
    EXPECT_EQ(Resolve(nullptr, L"s.exe -downloadurl=http://k/${ROUTE}").m_DownloadUrl, L"http://k/download_silent_xp");
}

}  // namespace
