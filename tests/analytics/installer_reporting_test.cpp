// The installer's reporting operations end to end: settings → tracker → loopback collector.
#include "analytics/installer_reporting.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>

#include "analytics/analytics_paths.h"
#include "analytics/ql_exception.h"
#include "analytics/sdk/http_sender.h"
#include "analytics/sdk/sdk.h"
#include "app/installer_settings.h"
#include "tests/analytics/sdk/collector_client.h"
#include "tests/analytics/tracker_fixture.h"
#include "tests/support/temp_folder.h"
#include "utils/text_convert.h"

namespace {

using AnalyticsTest::ParseJson;
using quillon::tracking::QlContextProperties;
using quillon::tracking::QlEventType;

const ExperimentValues kAbIn = {{L"AB", L"IN"}};

// What every record carries besides its own properties.
const std::set<std::string> kSuperPropertyNames = {
    "$app_id", "$app_version", "$lib", "$lib_version", "$os", "$os_version", "$screen_height", "$screen_width",
    "ql_app_id", "ql_app_platform", "ql_app_store", "ql_dlapp_id", "ql_dlapp_version", "ql_edition",
    "ql_l10n_country", "ql_l10n_language", "ql_l10n_locale", "ql_sdk", "ql_sdk_version", "ql_track_type",
    "ql_user_id"};

Json::Value Own(const Json::Value& record) {
    Json::Value own(Json::objectValue);
    for (const auto& name : record["properties"].getMemberNames()) {
        if (kSuperPropertyNames.count(name) == 0) own[name] = record["properties"][name];
    }
    return own;
}

class InstallerReporting : public ::testing::Test {
protected:
    void SetUp() override {
        if (!AnalyticsTest::CollectorAvailable()) GTEST_SKIP() << "needs the loopback collector";
        m_SavedSettings = g_InstallerSettings;
        m_Tag = AnalyticsTest::UniqueTag("installer");
        m_IdentityFolder = AnalyticsTest::Ansi(m_Folder.File(L"identity"));
        m_Folder.Write(L"Set.ini", "[Install]\r\nQLAnalyticsIni=" + m_IdentityFolder + "\\id.ini\r\n");
        quillon::tracking::SetOverrideFileFolder(AnalyticsTest::Ansi(m_Folder.Path()));
        ::SetEnvironmentVariableW(L"LUMIVOX_STATS_URL", Utils::Utf8ToWide(AnalyticsTest::CollectorUrl(m_Tag)).c_str());
        g_InstallerSettings.m_IsEnableAppAnalytics = true;
        usage_analytics::SetLastSendOk(false);
    }
    void TearDown() override {
        StopAnalytics();
        ::SetEnvironmentVariableW(L"LUMIVOX_STATS_URL", nullptr);
        quillon::tracking::SetOverrideFileFolder("");
        g_InstallerSettings = m_SavedSettings;
    }

    std::vector<Json::Value> Delivered(const std::string& event) {
        std::vector<Json::Value> matching;
        for (const auto& record : AnalyticsTest::DeliveredRecords(m_Tag)) {
            if (record["event"].asString() == event) matching.push_back(record);
        }
        return matching;
    }

    InstallerSettings m_SavedSettings;
    TestSupport::TempFolder m_Folder;
    std::string m_Tag;
    std::string m_IdentityFolder;
};

TEST_F(InstallerReporting, EveryInstallerEventArrivesWithExactlyItsProperties) {
    StartAnalytics();
    ASSERT_NE(AnalyticsTrackerReference(), nullptr);
    ReportTask(L"大包下载完毕", L"", kAbIn, 12.5f);
    ReportTask(L"下载失败原因", L"1.获取文件大小的状态码为=404；", kAbIn, 0.0f);
    ReportClick(kAbIn, L"立即安装");
    ReportPageView(kAbIn);
    ReportCrash();
    StopAnalytics();
    EXPECT_EQ(AnalyticsTrackerReference(), nullptr);

    const auto tasks = Delivered("QlEventTask");
    ASSERT_EQ(tasks.size(), 2u);
    EXPECT_EQ(Own(tasks[0]), ParseJson(R"({"$is_first_time":true,"qlc_ab":"IN","ql_task_elapsed":12.5,
                                          "ql_task_name":"大包下载完毕","ql_task_result":"Success"})"));
    EXPECT_EQ(Own(tasks[1]), ParseJson(R"({"$is_first_time":true,"qlc_ab":"IN","ql_reason":"1.获取文件大小的状态码为=404；",
                                          "ql_task_elapsed":0,"ql_task_name":"下载失败原因","ql_task_result":"Success"})"));
    const auto clicks = Delivered("QlEventClick");
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(Own(clicks[0]),
              ParseJson(R"({"$is_first_time":true,"qlc_ab":"IN","ql_click_type":"Button","ql_name":"立即安装"})"));
    const auto views = Delivered("QlEventView");
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(Own(views[0]), ParseJson(R"({"$is_first_time":true,"qlc_ab":"IN","ql_name":"安装中"})"));
    const auto crashes = Delivered("AppCrashed");
    ASSERT_EQ(crashes.size(), 1u);
    EXPECT_EQ(Own(crashes[0]), ParseJson(R"({"app_crashed_reason":"崩溃"})"));

    const Json::Value& p = tasks[0]["properties"];
    const auto& s = m_SavedSettings;
    EXPECT_EQ(p["ql_app_id"].asString(), Utils::WideToUtf8(s.m_ProductId + s.m_DlAppNameSuffix));
    EXPECT_EQ(p["ql_app_id"].asString(), "lumivoxApp.downloader");
    EXPECT_EQ(p["$app_version"].asString(), Utils::WideToUtf8(s.m_Version));
    EXPECT_EQ(p["ql_app_store"].asString(), Utils::WideToUtf8(s.m_FileName));
    EXPECT_EQ(p["ql_dlapp_id"].asString(), "lumivoxApp");
    EXPECT_FALSE(p.isMember("ql_dlapp_version")) << "empty m_DlAppVersion";
    EXPECT_EQ(p["ql_edition"].asString(), "china");
    EXPECT_EQ(p["$lib"].asString(), "cpp");
    EXPECT_TRUE(AnalyticsTest::FileExists(m_IdentityFolder + "\\id.ini"));
}

TEST_F(InstallerReporting, ExperimentValueMissingEmptyOrMalformedLeavesOnlyTheGroupOut) {
    StartAnalytics();
    ReportClick({}, L"none");
    ReportClick({{L"AB", L""}}, L"empty");
    ReportClick({{L"AB", L"in"}}, L"malformed");
    ReportClick({{L"ab", L"IN"}}, L"other key");
    StopAnalytics();
    const auto clicks = Delivered("QlEventClick");
    ASSERT_EQ(clicks.size(), 4u);
    for (const auto& click : clicks) EXPECT_FALSE(click["properties"].isMember("qlc_ab")) << click["properties"];
}

TEST_F(InstallerReporting, SwitchedOffInTheSettingsTouchesNoFileAndSendsNothing) {
    g_InstallerSettings.m_IsEnableAppAnalytics = false;
    StartAnalytics();
    EXPECT_EQ(AnalyticsTrackerReference(), nullptr);
    ReportTask(L"安装成功", L"", kAbIn, 3.0f);
    ReportClick(kAbIn, L"立即安装");
    ReportPageView(kAbIn);
    ReportCrash();
    StopAnalytics();
    EXPECT_FALSE(AnalyticsTest::FileExists(m_IdentityFolder)) << "no identity or log file";
    ::Sleep(200);
    EXPECT_TRUE(AnalyticsTest::CollectorRequests(m_Tag).empty());
}

TEST_F(InstallerReporting, TheFinalSwitchGatesReportsAndAnEmptyHandleDoesNothing) {
    ReportClick(kAbIn, L"before start");
    StartAnalytics();
    g_InstallerSettings.m_IsEnableAppAnalytics = false;  // as if "-isenableappanalytics=false"
    ReportClick(kAbIn, L"switched off");
    EXPECT_TRUE(usage_analytics::Sdk::QueuedRecords().empty());
    g_InstallerSettings.m_IsEnableAppAnalytics = true;
    ReportClick(kAbIn, L"switched on");
    StopAnalytics();
    ReportClick(kAbIn, L"after stop");
    const auto clicks = Delivered("QlEventClick");
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0]["properties"]["ql_name"].asString(), "switched on");
}

TEST(ApplyExperimentValue, SetsTheGroupForEachTypeOrRaisesForAMalformedOne) {
    QlContextProperties context;
    ApplyExperimentValue(kAbIn, {QlEventType::Task, QlEventType::Click}, context);
    EXPECT_EQ(context.getEventProperties(QlEventType::Task).size(), 1u);
    EXPECT_EQ(context.getEventProperties(QlEventType::Click).size(), 1u);
    EXPECT_TRUE(context.getEventProperties(QlEventType::View).empty());

    QlContextProperties untouched;
    ApplyExperimentValue({{L"AB", L""}}, {QlEventType::Task}, untouched);
    ApplyExperimentValue({}, {QlEventType::Task}, untouched);
    EXPECT_TRUE(untouched.getEventProperties(QlEventType::Task).empty());
    EXPECT_THROW(ApplyExperimentValue({{L"AB", L"ABCD"}}, {QlEventType::Task}, untouched),
                 quillon::tracking::QlException);
}

}  // namespace
