// What the tracker keeps on disk: paths with and without "Set.ini", the identity record,
// the user-property rules, and the keys the installer writes for the installed product.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <regex>

#include "analytics/analytics_identity.h"
#include "analytics/analytics_paths.h"
#include "analytics/native_user_tracker.h"
#include "analytics/product_analytics_keys.h"
#include "analytics/ql_exception.h"
#include "analytics/sdk/sdk.h"
#include "tests/analytics/sdk/collector_client.h"
#include "tests/analytics/tracker_fixture.h"
#include "tests/support/temp_folder.h"
#include "utils/system_version.h"
#include "utils/text_convert.h"

namespace {

using namespace quillon::tracking;
using AnalyticsTest::Ansi;
using AnalyticsTest::FileExists;
using TestSupport::TempFolder;

const std::regex kGuidPattern("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");

std::string ReadIni(const std::string& file, const char* section, const char* key) {
    char value[512] = {};
    ::GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, file.c_str());
    return value;
}

std::wstring ReadIniW(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
    wchar_t value[512] = {};
    ::GetPrivateProfileStringW(section, key, L"<missing>", value, 512, file.c_str());
    return value;
}

// Points the "Set.ini" search at a folder of the test's own for its lifetime.
class OverrideFolderScope {
public:
    explicit OverrideFolderScope(const std::wstring& folder) { SetOverrideFileFolder(Ansi(folder)); }
    ~OverrideFolderScope() { SetOverrideFileFolder(""); }
};

std::string SpecialFolderShortPath(int csidl) {
    char path[MAX_PATH] = {}, shortPath[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    ::GetShortPathNameA(path, shortPath, MAX_PATH);
    return shortPath;
}

void RemoveDataDirectory(const std::string& dataDirectory) {
    ::RemoveDirectoryA(dataDirectory.c_str());
    ::RemoveDirectoryA(dataDirectory.substr(0, dataDirectory.find_last_of('\\', dataDirectory.size() - 2)).c_str());
}

TEST(AnalyticsPaths, DefaultCaseUnderLocalApplicationDataFromWindows7On) {
    TempFolder folder;  // no Set.ini in it
    const OverrideFolderScope scope(folder.Path());
    const std::string app = AnalyticsTest::UniqueTag("paths.app");
    const AnalyticsPaths paths = ResolveAnalyticsPaths(app);
    const std::string expected = SpecialFolderShortPath(CSIDL_LOCAL_APPDATA) + "\\QLLocal\\" + app + "\\";
    EXPECT_EQ(paths.dataDirectory, expected);
    EXPECT_EQ(paths.identityFile, expected + app + "_QLSConfigure.ini");
    EXPECT_TRUE(FileExists(paths.dataDirectory)) << "created with every missing level";
    EXPECT_EQ(DefaultLogFilePath(paths.dataDirectory, app), expected + app + "_QLSLog.txt");
    EXPECT_EQ(StagingFilePath(paths.dataDirectory, app), expected + app + "_QLSQueue.txt");
    RemoveDataDirectory(paths.dataDirectory);
}

TEST(AnalyticsPaths, DefaultCaseUnderCommonDocumentsBeforeWindows7) {
    TempFolder folder;
    const OverrideFolderScope scope(folder.Path());
    const auto saved = Utils::SetVersionNumbersReader([](Utils::VersionNumbers* n) {
        *n = {5, 1, 2600, false};
        return true;
    });
    const std::string app = AnalyticsTest::UniqueTag("paths.xp");
    const AnalyticsPaths paths = ResolveAnalyticsPaths(app);
    Utils::SetVersionNumbersReader(saved);
    EXPECT_EQ(paths.dataDirectory, SpecialFolderShortPath(CSIDL_COMMON_DOCUMENTS) + "\\QLLocal\\" + app + "\\");
    RemoveDataDirectory(paths.dataDirectory);
}

TEST(AnalyticsPaths, SetIniNamesTheIdentityFile) {
    TempFolder folder;
    const OverrideFolderScope scope(folder.Path());
    std::string configured = Ansi(folder.File(L"data\\sub\\id.ini"));
    std::string withSlashes = configured;
    std::replace(withSlashes.begin(), withSlashes.end(), '\\', '/');
    folder.Write(L"Set.ini", "[Install]\r\nQLAnalyticsIni=" + withSlashes + "\r\n");

    EXPECT_EQ(ConfiguredIdentityPath(), configured);
    const AnalyticsPaths created = ResolveAnalyticsPaths("app");
    EXPECT_EQ(created.identityFile, configured);
    EXPECT_EQ(created.dataDirectory, Ansi(folder.File(L"data\\sub")) + "\\") << "a folder that had to be made";
    EXPECT_TRUE(FileExists(created.dataDirectory));
    const AnalyticsPaths existing = ResolveAnalyticsPaths("app");
    EXPECT_EQ(existing.dataDirectory, Ansi(folder.File(L"data\\sub")));
    EXPECT_EQ(DefaultLogFilePath(existing.dataDirectory, "app"), Ansi(folder.File(L"data\\sub\\app_QLSLog.txt")));
    EXPECT_EQ(DefaultLogFilePath(created.dataDirectory, "app"), Ansi(folder.File(L"data\\sub\\app_QLSLog.txt")));

    folder.Write(L"Set.ini", "[Install]\r\nQLAnalyticsIni=id.ini\r\n");
    const std::string app = AnalyticsTest::UniqueTag("paths.bare");
    const AnalyticsPaths bare = ResolveAnalyticsPaths(app);
    EXPECT_EQ(bare.identityFile, bare.dataDirectory + app + "_QLSConfigure.ini") << "a bare name is not a path";
    RemoveDataDirectory(bare.dataDirectory);
}

TEST(AnalyticsIdentity, LoadReconcileAndSave) {
    TempFolder folder;
    const std::string file = Ansi(folder.File(L"id.ini"));

    IdentityRecord first = LoadIdentity(file);
    EXPECT_TRUE(std::regex_match(first.distinctId, kGuidPattern)) << first.distinctId;
    EXPECT_EQ(ReadIni(file, "Base", "DistinctId"), first.distinctId) << "a new id is saved at once";
    ReconcileIdentity(first, "https://collector/sa?project=pc", file);
    EXPECT_TRUE(std::regex_match(first.distinctId, kGuidPattern));
    EXPECT_EQ(first.primaryDistinctId, first.distinctId);
    const struct {
        const char* key;
        std::string value;
    } saved[] = {{"DistinctId", first.distinctId}, {"PrimaryDistinctId", first.distinctId}, {"UserId", ""},
                 {"UserVipLevel", "0"},           {"URL", "https://collector/sa?project=pc"},  {"isLogined", "NG"}};
    for (const auto& s : saved) EXPECT_EQ(ReadIni(file, "Base", s.key), s.value) << s.key;

    IdentityRecord loggedIn = first;
    loggedIn.userId = "user-1";
    loggedIn.distinctId = "user-1";
    loggedIn.loggedIn = true;
    loggedIn.vipLevel = 2;
    SaveIdentity(loggedIn, file);
    IdentityRecord again = LoadIdentity(file);
    EXPECT_TRUE(again.loggedIn);
    EXPECT_EQ(again.vipLevel, 2);
    ReconcileIdentity(again, "https://collector/sa?project=pc", file);
    EXPECT_EQ(again.distinctId, "user-1") << "same address keeps the login";
    ReconcileIdentity(again, "https://elsewhere/sa?project=pc", file);
    EXPECT_EQ(again.distinctId, first.distinctId) << "another address returns to the primary id";
    EXPECT_TRUE(again.userId.empty());
    EXPECT_FALSE(again.loggedIn);
    EXPECT_EQ(ReadIni(file, "Base", "URL"), "https://elsewhere/sa?project=pc");
}

TEST(AnalyticsIdentity, OddValuesInTheFile) {
    TempFolder folder;
    const std::wstring file = folder.Write(
        L"id.ini", "[Base]\r\nDistinctId=abc\r\nUserId=u\r\nUserVipLevel=gold\r\nisLogined=yes\r\nURL=x\r\n");
    IdentityRecord identity = LoadIdentity(Ansi(file));
    EXPECT_EQ(identity.primaryDistinctId, "abc") << "an empty primary id takes the distinct id";
    EXPECT_EQ(identity.vipLevel, 0);
    EXPECT_FALSE(identity.loggedIn);
    identity.userId.clear();
    identity.loggedIn = true;
    ReconcileIdentity(identity, "x", Ansi(file));
    EXPECT_FALSE(identity.loggedIn) << "no user id, no login";
}

TEST(AnalyticsIdentity, AnonymousIdShapes) {
    const std::string guid = NewAnonymousId();
    EXPECT_TRUE(std::regex_match(guid, kGuidPattern)) << guid;
    EXPECT_NE(NewAnonymousId(), guid);
    for (int i = 0; i < 50; ++i) {
        const std::string random = RandomAnonymousId();
        std::smatch groups;
        ASSERT_TRUE(std::regex_match(random, groups,
                                     std::regex("[0-9a-f]{2,8}-[0-9a-f]{1,4}-(4[0-9a-f]{3})-([89ab][0-9a-f]{3})-[0-9a-f]{3,12}")))
            << random;
    }
}

TEST(NativeUserTracker, ValueKindAndNamePickTheRecordOrTheError) {
    ASSERT_TRUE(usage_analytics::Sdk::Init("", "http://127.0.0.1:9/", "device", false));
    NativeUserTracker::ProfileUserPropertyString("ql_os", "Windows");
    NativeUserTracker::ProfileUserPropertyNumber("ql_paid_count", int32_t{2});
    NativeUserTracker::ProfileUserPropertyNumber("ql_first_paid_date", 1.5);
    NativeUserTracker::ProfileUserPropertyNumber("ql_consumption", 9.5);
    NativeUserTracker::ProfileUserPropertyDateTime("ql_last_visit_date", 1700000000123LL);
    const auto records = usage_analytics::Sdk::QueuedRecords();
    usage_analytics::Sdk::Shutdown();
    ASSERT_EQ(records.size(), 5u);
    const struct {
        const char* type;
        const char* properties;
    } expected[] = {
        {"profile_set", "\"properties\":{\"ql_os\":\"Windows\"}"},
        {"profile_increment", "\"properties\":{\"ql_paid_count\":2}"},
        {"profile_set_once", "\"properties\":{\"ql_first_paid_date\":1.5}"},
        {"profile_increment", "\"properties\":{\"ql_consumption\":9.5}"},
        {"profile_set", ".123\"}"},
    };
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_NE(records[i].find(std::string("\"type\":\"") + expected[i].type + "\""), std::string::npos) << records[i];
        EXPECT_NE(records[i].find(expected[i].properties), std::string::npos) << records[i];
    }

    const struct {
        std::function<void()> operation;
        const char* message;
    } rejected[] = {
        {[] { NativeUserTracker::ProfileUserPropertyString("ql_paid_count", "1"); },
         "user property [ql_paid_count] is string type value, it cannot be accumulated!"},
        {[] { NativeUserTracker::ProfileUserPropertyString("nickname", "x"); }, "Not supported user property [nickname]!"},
        {[] { NativeUserTracker::ProfileUserPropertyNumber("score", 1); }, "Not supported user property [score]!"},
        {[] { NativeUserTracker::ProfileUserPropertyNumber("score", 1.0); }, "Not supported user property [score]!"},
        {[] { NativeUserTracker::ProfileUserPropertyDateTime("ql_consumption", 0); },
         "user property [ql_consumption] is boolean value, it cannot be accumulative!"},
        {[] { NativeUserTracker::ProfileUserPropertyDateTime("birthday", 0); }, "Not supported user property [birthday]!"},
    };
    for (const auto& r : rejected) {
        std::string message = "<nothing thrown>";
        try {
            r.operation();
        } catch (const QlException& error) {
            message = error.what();
        }
        EXPECT_EQ(message, r.message);
    }
}

TEST(ProductAnalyticsKeys, SetIniPointsTheProductAtItsIdentityFile) {
    TempFolder folder;
    const std::wstring product = folder.File(L"Lumivox");
    ::CreateDirectoryW(product.c_str(), nullptr);
    wchar_t savedAppData[MAX_PATH] = {};
    const bool hadAppData = ::GetEnvironmentVariableW(L"APPDATA", savedAppData, MAX_PATH) > 0;
    ::SetEnvironmentVariableW(L"APPDATA", folder.File(L"roaming").c_str());
    WriteProductAnalyticsKeys(product, L"LumivoxSetup_579.exe", L"lumivoxApp", L"0123456789ABCDEF0123456789ABCDEF");

    const std::wstring setIni = product + L"\\set.ini";
    const std::wstring analyticsIni = folder.File(L"roaming\\QuillonData\\lumivoxApp\\QLAnalytics.ini");
    EXPECT_EQ(ReadIniW(setIni, L"Install", L"APPStore"), L"LumivoxSetup_579.exe");
    EXPECT_EQ(ReadIniW(setIni, L"Install", L"AppName"), L"lumivoxApp");
    EXPECT_EQ(ReadIniW(setIni, L"Install", L"DeviceID"), L"0123456789ABCDEF0123456789ABCDEF");
    EXPECT_EQ(ReadIniW(setIni, L"Install", L"QLAnalyticsIni"), analyticsIni);
    const std::string stamp = Utils::WideToUtf8(ReadIniW(analyticsIni, L"Init", L"UpdateTime"));
    EXPECT_TRUE(std::regex_match(stamp, std::regex("20[0-9]{2}-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9]")))
        << stamp;
    EXPECT_EQ(FormatUpdateTime(2024, 3, 5, 7, 8, 9), L"2024-03-05 07:08:09");

    // A product analytics folder that cannot be made (a file stands in its way) leaves the
    // pointer out.
    const std::wstring other = folder.File(L"Other");
    ::CreateDirectoryW(other.c_str(), nullptr);
    folder.Write(L"blocked", "file");
    ::SetEnvironmentVariableW(L"APPDATA", folder.File(L"blocked").c_str());
    WriteProductAnalyticsKeys(other, L"Setup.exe", L"lumivoxApp", L"ID");
    ::SetEnvironmentVariableW(L"APPDATA", hadAppData ? savedAppData : nullptr);
    EXPECT_EQ(ReadIniW(other + L"\\set.ini", L"Install", L"AppName"), L"lumivoxApp");
    EXPECT_EQ(ReadIniW(other + L"\\set.ini", L"Install", L"QLAnalyticsIni"), L"<missing>");
}

}  // namespace
