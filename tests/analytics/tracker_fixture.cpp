#include "tests/analytics/tracker_fixture.h"

#include <windows.h>

#include <fstream>

#include "analytics/analytics_paths.h"
#include "analytics/sdk/http_sender.h"
#include "analytics/sdk/sdk.h"
#include "tests/analytics/sdk/collector_client.h"
#include "utils/text_convert.h"

namespace AnalyticsTest {

using quillon::tracking::UsageTrackerImpl;
using quillon::tracking::UsageTrackerWrapper;

std::string Ansi(const std::wstring& text) { return Utils::WideToMultiByte(text, 0); }

std::string ReadAnsiFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void TrackerFixture::SetUp() {
    if (!CollectorAvailable()) GTEST_SKIP() << "needs the loopback collector";
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_Tag = UniqueTag(info->name());
    m_Folder = std::make_unique<TestSupport::TempFolder>();
    m_DataDirectory = Ansi(m_Folder->File(L"identity"));
    m_IdentityFile = m_DataDirectory + "\\id.ini";
    m_Folder->Write(L"Set.ini", "[Install]\r\nQLAnalyticsIni=" + m_IdentityFile + "\r\n");
    quillon::tracking::SetOverrideFileFolder(Ansi(m_Folder->Path()));
    m_Config = {};
    m_Config.appName = "test.app." + m_Tag;
    m_Config.appVersion = "2.0.1";
    m_Config.appStore = "store_setup.exe";
    m_Config.dlAppId = "lumivoxApp";
    usage_analytics::SetLastSendOk(false);
}

void TrackerFixture::TearDown() {
    m_Tracker.reset();
    quillon::tracking::SetOverrideFileFolder("");
    m_Folder.reset();
}

UsageTrackerWrapper& TrackerFixture::Start(const std::string& extraQuery) {
    m_Config.serverUrl = CollectorUrl(m_Tag, extraQuery);
    auto implementation = std::make_unique<UsageTrackerImpl>(m_Config);
    implementation->init();
    m_Tracker = std::make_unique<UsageTrackerWrapper>(std::move(implementation));
    return *m_Tracker;
}

std::vector<Json::Value> TrackerFixture::Records(const std::string& eventName) {
    if (m_Tracker) Impl().waitForDeliveries(std::chrono::seconds(20));
    std::vector<Json::Value> all = DeliveredRecords(m_Tag);
    for (const auto& text : usage_analytics::Sdk::QueuedRecords()) all.push_back(ParseJson(text));
    std::vector<Json::Value> matching;
    for (const auto& record : all) {
        if (record["event"].asString() == eventName) matching.push_back(record);
    }
    return matching;
}

Json::Value TrackerFixture::OwnProperties(const Json::Value& record) {
    Json::Value own(Json::objectValue);
    const auto super = usage_analytics::Sdk::SuperProperties();
    for (const auto& name : record["properties"].getMemberNames()) {
        if (super.Find(name) == nullptr) own[name] = record["properties"][name];
    }
    return own;
}

}  // namespace AnalyticsTest
