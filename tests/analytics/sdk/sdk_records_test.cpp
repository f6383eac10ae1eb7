// Records built by the SDK core: validation with its messages, layout, time, project, super
// properties, login. Nothing is sent here; the queued texts are read back from the consumer.
#include <gtest/gtest.h>

#include <regex>

#include "analytics/sdk/record_rules.h"
#include "analytics/sdk/sdk.h"
#include "tests/analytics/sdk/collector_client.h"
#include "tests/analytics/sdk/message_capture.h"

namespace {

using usage_analytics::PropertiesNode;
using usage_analytics::Sdk;

// An SDK singleton for one test, never sending (nothing listens on the discard port).
class SdkRecords : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Sdk::Init("", "http://127.0.0.1:9/sa?project=pc", "device-1", false)); }
    void TearDown() override { Sdk::Shutdown(); }

    static std::vector<std::string> Queued() { return Sdk::QueuedRecords(); }
    static Json::Value LastRecord() {
        const auto records = Queued();
        return records.empty() ? Json::Value() : AnalyticsTest::ParseJson(records.back());
    }
    static std::string WithoutTrackId(const std::string& record) {
        return std::regex_replace(record, std::regex("^\\{\"_track_id\":[0-9]+,"), "{");
    }
};

TEST_F(SdkRecords, TrackRecordTextIsExactlyTheSpecifiedLayout) {
    PropertiesNode properties;
    properties.SetString("k", "v");
    properties.SetNumber("n", 12.5);
    properties.SetDateTime("$time", 1700000000, 250);
    Sdk::Track("Ev", properties);
    const auto records = Queued();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(std::regex_search(records[0], std::regex("^\\{\"_track_id\":[0-9]{1,9},"))) << records[0];
    EXPECT_EQ(WithoutTrackId(records[0]),
              "{\"distinct_id\":\"device-1\",\"event\":\"Ev\","
              "\"lib\":{\"$lib\":\"cpp\",\"$lib_method\":\"code\",\"$lib_version\":\"0.9\"},"
              "\"properties\":{\"$lib\":\"cpp\",\"$lib_version\":\"0.9\",\"k\":\"v\",\"n\":12.5},"
              "\"time\":1700000000250,\"type\":\"track\"}");
}

TEST_F(SdkRecords, TimeIsNowWithoutTimeProperty) {
    const int64_t before = usage_analytics::CurrentTimeMilliseconds();
    Sdk::Track("Ev", PropertiesNode());
    const int64_t after = usage_analytics::CurrentTimeMilliseconds();
    const Json::Value record = LastRecord();
    EXPECT_GE(record["time"].asInt64(), before);
    EXPECT_LE(record["time"].asInt64(), after);
    EXPECT_GT(before, 1600000000000LL) << "milliseconds since 1970";
}

TEST_F(SdkRecords, ProjectPropertyMovesToTheRecord) {
    PropertiesNode properties;
    properties.SetString("$project", "pc_test");
    Sdk::Track("Ev", properties);
    const Json::Value record = LastRecord();
    EXPECT_EQ(record["project"].asString(), "pc_test");
    EXPECT_FALSE(record["properties"].isMember("$project"));
    EXPECT_FALSE(record["properties"].isMember("$time"));
}

TEST_F(SdkRecords, InvalidRecordsAreDroppedWithTheirMessages) {
    const auto longName = std::string(101, 'a');
    PropertiesNode timeAsText, projectAsNumber;
    timeAsText.SetString("$time", "2024-01-01");
    projectAsNumber.SetInt("$project", 5);
    const struct {
        std::string eventName;
        std::string propertyName;
        const PropertiesNode* properties;
        std::string message;
    } cases[] = {
        {"Ev", "1abc", nullptr, "The Property Key need to be a valid variable name."},
        {"Ev", "a-b", nullptr, "The Property Key need to be a valid variable name."},
        {"Ev", longName, nullptr, "The Property Key is empty or too long, max length is 100"},
        {"Ev", "", nullptr, "The Property Key is empty or too long, max length is 100"},
        {"9ev", "k", nullptr, "The Event Name need to be a valid variable name."},
        {"", "k", nullptr, "The Event Name is empty or too long, max length is 100"},
        {"Ev", "", &timeAsText, "The property '$time' should be DateTime type."},
        {"Ev", "", &projectAsNumber, "The property '$project' should be String type."},
    };
    for (const auto& c : cases) {
        AnalyticsTest::MessageCapture messages;
        PropertiesNode properties = c.properties != nullptr ? *c.properties : PropertiesNode();
        if (c.properties == nullptr) properties.SetInt(c.propertyName, 1);
        Sdk::Track(c.eventName, properties);
        EXPECT_EQ(messages.Errors(), c.message) << c.eventName << " / " << c.propertyName;
    }
    EXPECT_TRUE(Queued().empty());

    PropertiesNode accepted;
    accepted.SetInt("_under", 1);
    accepted.SetInt("$dollar", 2);
    accepted.SetInt(std::string(100, 'n'), 3);
    Sdk::Track(std::string(100, 'E'), accepted);
    EXPECT_EQ(Queued().size(), 1u);
}

TEST_F(SdkRecords, SuperPropertiesGoIntoTrackRecordsOnlyAndTheCallerWins) {
    PropertiesNode super;
    super.SetString("ql_app_id", "app");
    super.SetString("shared", "super");
    Sdk::RegisterSuperProperties(super);

    PropertiesNode own;
    own.SetString("shared", "own");
    Sdk::Track("Ev", own);
    Sdk::ProfileSet(own);
    Sdk::ProfileSetOnce("ql_first_visit_date", int32_t{7});
    Sdk::ProfileIncrement("ql_paid_count", int64_t{1});
    Sdk::ProfileAppend("ql_label", "vip");
    Sdk::ProfileSet("ql_os", std::string("Windows"));
    Sdk::ProfileSet("ql_score", 2.5);

    const auto records = Queued();
    ASSERT_EQ(records.size(), 7u);
    const Json::Value track = AnalyticsTest::ParseJson(records[0]);
    EXPECT_EQ(track["properties"]["shared"].asString(), "own");
    EXPECT_EQ(track["properties"]["ql_app_id"].asString(), "app");
    EXPECT_EQ(track["properties"]["$lib_version"].asString(), "0.9");

    const char* types[] = {"track", "profile_set", "profile_set_once", "profile_increment", "profile_append",
                           "profile_set", "profile_set"};
    for (size_t i = 1; i < records.size(); ++i) {
        const Json::Value profile = AnalyticsTest::ParseJson(records[i]);
        EXPECT_EQ(profile["type"].asString(), types[i]);
        EXPECT_FALSE(profile.isMember("event")) << records[i];
        EXPECT_FALSE(profile["properties"].isMember("$lib")) << records[i];
        EXPECT_FALSE(profile["properties"].isMember("ql_app_id")) << records[i];
        EXPECT_EQ(profile["distinct_id"].asString(), "device-1");
    }
    EXPECT_NE(records[4].find("\"properties\":{\"ql_label\":[\"vip\"]}"), std::string::npos) << records[4];
    EXPECT_NE(records[6].find("\"properties\":{\"ql_score\":2.5}"), std::string::npos) << records[6];

    Sdk::ClearSuperProperties();
    EXPECT_EQ(Sdk::SuperProperties().ToJson(), "{\"$lib\":\"cpp\",\"$lib_version\":\"0.9\"}");
}

TEST_F(SdkRecords, LoginTracksSignUpAndMarksEveryLaterRecord) {
    Sdk::Track("Before", PropertiesNode());
    Sdk::Login("user-42");
    Sdk::Track("After", PropertiesNode());
    Sdk::ProfileSet("ql_user_id", std::string("user-42"));

    const auto records = Queued();
    ASSERT_EQ(records.size(), 4u);
    const Json::Value before = AnalyticsTest::ParseJson(records[0]);
    const Json::Value signUp = AnalyticsTest::ParseJson(records[1]);
    const Json::Value after = AnalyticsTest::ParseJson(records[2]);
    const Json::Value profile = AnalyticsTest::ParseJson(records[3]);
    EXPECT_FALSE(before["properties"].isMember("$is_login_id"));
    EXPECT_EQ(signUp["type"].asString(), "track_signup");
    EXPECT_EQ(signUp["event"].asString(), "$SignUp");
    EXPECT_EQ(signUp["distinct_id"].asString(), "user-42");
    EXPECT_EQ(signUp["original_id"].asString(), "device-1");
    EXPECT_EQ(signUp["properties"]["$lib"].asString(), "cpp");
    EXPECT_EQ(after["distinct_id"].asString(), "user-42");
    EXPECT_TRUE(after["properties"]["$is_login_id"].asBool());
    EXPECT_TRUE(profile["properties"]["$is_login_id"].asBool());
    EXPECT_TRUE(Sdk::IsLoginId());
}

TEST(SdkLifecycle, InitChecksTheDistinctIdAndHappensOnce) {
    AnalyticsTest::MessageCapture messages;
    EXPECT_FALSE(Sdk::Init("", "http://127.0.0.1:9/", "", false));
    EXPECT_EQ(messages.Errors(), "The Distinct ID is empty.\n");
    messages.Clear();
    EXPECT_FALSE(Sdk::Init("", "http://127.0.0.1:9/", std::string(256, 'd'), false));
    EXPECT_EQ(messages.Errors(), "The Distinct ID is too long, max length is 255.\n");
    EXPECT_FALSE(Sdk::IsInitialized());

    // Before Init and after Shutdown every operation does nothing.
    Sdk::Track("Ev", PropertiesNode());
    EXPECT_FALSE(Sdk::AddEvent("track", "Ev", PropertiesNode(), "d", ""));
    EXPECT_FALSE(Sdk::Flush());

    ASSERT_TRUE(Sdk::Init("", "http://127.0.0.1:9/", std::string(255, 'd'), false));
    EXPECT_TRUE(Sdk::Init("", "http://127.0.0.1:9/", "other", true));
    EXPECT_EQ(Sdk::DistinctId(), std::string(255, 'd'));
    EXPECT_FALSE(Sdk::IsLoginId());
    messages.Clear();
    EXPECT_FALSE(Sdk::AddEvent("track_signup", "$SignUp", PropertiesNode(), "x", ""));
    EXPECT_EQ(messages.Errors(), "The Original ID is empty.\n");
    Sdk::Shutdown();
    EXPECT_FALSE(Sdk::IsInitialized());
    Sdk::Track("Ev", PropertiesNode());
    EXPECT_TRUE(Sdk::QueuedRecords().empty());
}

TEST(TrackId, TwoRandomPiecesThenTheLastFourDigitsOfTheClock) {
    for (int i = 0; i < 200; ++i) {
        const int64_t id = usage_analytics::NewTrackId(1700000001234LL);
        EXPECT_EQ(id % 10000, 1234);
        EXPECT_LE(id / 10000 % 1000, 998);
        EXPECT_LE(id / 10000000, 98);
        EXPECT_LE(id, 989989999);
    }
}

}  // namespace
