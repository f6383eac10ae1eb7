// The tracker over the real SDK core and a loopback collector: every operation's checks and
// properties, the delivery requests, the teardown and the identity it keeps.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <regex>

#include "analytics/ql_exception.h"
#include "analytics/sdk/http_sender.h"
#include "analytics/sdk/sdk.h"
#include "tests/analytics/sdk/collector_client.h"
#include "tests/analytics/sdk/message_capture.h"
#include "tests/analytics/tracker_fixture.h"

namespace {

using namespace quillon::tracking;
using AnalyticsTest::ParseJson;
using usage_analytics::Sdk;

using Operation = std::function<void(UsageTracker&)>;

const QlContextProperties kNoContext;

std::string ThrownBy(UsageTracker& tracker, const Operation& operation) {
    try {
        operation(tracker);
    } catch (const QlException& error) {
        return error.what();
    } catch (...) {
        return "<other exception>";
    }
    return "<nothing thrown>";
}

class UsageTrackerTest : public AnalyticsTest::TrackerFixture {};

TEST_F(UsageTrackerTest, EachOperationSendsExactlyItsProperties) {
    Start();
    QlEventClick fullClick;
    fullClick.aname = "main";
    fullClick.name = "ok";
    fullClick.clickType = ClickType::Banner;
    fullClick.title = "t";
    fullClick.module = "m";
    fullClick.position = "p";
    fullClick.tabIndex = 2;
    fullClick.tabName = "tab";
    fullClick.bannerIndex = 5;
    fullClick.bannerName = "b";
    QlEventClick plainClick;
    plainClick.name = "plain";
    QlEventTask fullTask{"worker", "download", "1.code=5", 12.5f, QlResult::Fail};
    QlEventFile file;
    file.aname = "export";
    file.io = QlIoType::Output;
    file.size = 0.0f;
    file.ext = "mp3";
    file.width = 640;
    file.fps = 29.97f;
    file.result = QlResult::Success;
    QlEventOrder order;
    order.suitId = "suit";
    order.currency = QlCurrency::USD;
    order.originalAmount = 10;
    order.paidAmount = 8;
    order.orderId = "o-1";
    order.campaignCode = 3;
    order.curPaidAmount = 1.5f;
    order.cashierName = "desk";
    QlEventPayment payment;
    payment.orderId = "o-2";
    payment.paidAmount = 0;
    payment.result = QlResult::Success;
    payment.paidPlatform = QlPaidPlatform::Alipay;
    payment.currency = QlCurrency::CNY;
    payment.iapType = QlIapType::Consumable;
    QlAppOpenNotification notification{"title", "body", "", "plan", "", "", "push", ""};
    QlLoginUser anonymous;
    anonymous.userType = QlUserType::Email;

    const struct {
        const char* what;
        Operation operation;
        const char* event;
        const char* properties;
    } cases[] = {
        {"full click", [&](UsageTracker& t) { t.trackClick(fullClick, kNoContext); }, "QlEventClick",
         R"({"$is_first_time":true,"ql_aname":"main","ql_banner_index":5,"ql_banner_name":"b","ql_click_type":"Banner",
             "ql_module":"m","ql_name":"ok","ql_position":"p","ql_tab_index":2,"ql_tab_name":"tab","ql_title":"t"})"},
        {"plain click", [&](UsageTracker& t) { t.trackClick(plainClick, kNoContext); }, "QlEventClick",
         R"({"$is_first_time":true,"ql_click_type":"Others","ql_name":"plain"})"},
        {"view", [](UsageTracker& t) { t.trackView({"", "\xE5\xAE\x89\xE8\xA3\x85\xE4\xB8\xAD", "", ""}, kNoContext); },
         "QlEventView", R"({"$is_first_time":true,"ql_name":"安装中"})"},
        {"cashier", [](UsageTracker& t) { t.trackCashier({"vip", "", "year"}, kNoContext); }, "QlEventCashier",
         R"({"$is_first_time":true,"ql_cashier_name":"vip","ql_subitem":"year"})"},
        {"share", [](UsageTracker& t) { t.trackShare({"", "wx", "", "", QlResult::Cancelled}, kNoContext); },
         "QlEventShare", R"({"$is_first_time":true,"ql_channel":"wx","ql_result":"Cancelled"})"},
        {"task with elapsed 0 and no result", [](UsageTracker& t) { t.trackTask({"", "zero", "", 0.0f, {}}, kNoContext); },
         "QlEventTask", R"({"$is_first_time":true,"ql_task_elapsed":0,"ql_task_name":"zero"})"},
        {"task with result Unknown",
         [](UsageTracker& t) { t.trackTask({"", "unknown", "", {}, QlResult::Unknown}, kNoContext); }, "QlEventTask",
         R"({"$is_first_time":true,"ql_task_name":"unknown"})"},
        {"full task", [&](UsageTracker& t) { t.trackTask(fullTask, kNoContext); }, "QlEventTask",
         R"({"$is_first_time":true,"ql_aname":"worker","ql_reason":"1.code=5","ql_task_elapsed":12.5,
             "ql_task_name":"download","ql_task_result":"Fail"})"},
        {"file", [&](UsageTracker& t) { t.trackFile(file, kNoContext); }, "QlEventFile",
         R"({"$is_first_time":true,"ql_aname":"export","ql_ext":"mp3","ql_fps":29.97,"ql_io":"Output",
             "ql_result":"Success","ql_width":640})"},
        {"order", [&](UsageTracker& t) { t.trackOrder(order, kNoContext); }, "QlEventOrder",
         R"({"$is_first_time":true,"ql_campaign_code":3,"ql_cashier_name":"desk","ql_cur_paid_amount":1.5,
             "ql_currency":"USD","ql_order_id":"o-1","ql_original_amount":10,"ql_paid_amount":8,"ql_suit_id":"suit"})"},
        {"payment of 0", [&](UsageTracker& t) { t.trackPayment(payment, kNoContext); }, "QlEventPayment",
         R"({"$is_first_time":true,"ql_currency":"CNY","ql_iap_type":"Consumable","ql_order_id":"o-2",
             "ql_original_amount":0,"ql_paid_amount":0,"ql_paid_platform":"Alipay","ql_result":"Success"})"},
        {"uninstall", [](UsageTracker& t) { t.trackUninstall("slow", kNoContext); }, "QlEventUninstall",
         R"({"ql_uninstall_reason":"slow"})"},
        {"crash", [](UsageTracker& t) { t.trackCrash("boom"); }, "AppCrashed", R"({"app_crashed_reason":"boom"})"},
        {"update check without result", [](UsageTracker& t) { t.trackUpdate({QlUpdateOp::UpdateCheck, {}, {}}, kNoContext); },
         "QlEventUpdate", R"({"ql_update_op":"UpdateCheck","ql_update_result":""})"},
        {"update download start",
         [](UsageTracker& t) { t.trackUpdate({QlUpdateOp::DownloadStart, QlUpdateResult::Fail, 1.0f}, kNoContext); },
         "QlEventUpdate", R"({"ql_update_op":"DownloadStart"})"},
        {"upgrade end",
         [](UsageTracker& t) { t.trackUpdate({QlUpdateOp::UpgrateEnd, QlUpdateResult::Latest, 2.5f}, kNoContext); },
         "QlEventUpdate", R"({"$is_first_time":true,"ql_elapsed":2.5,"ql_update_op":"UpgrateEnd","ql_update_result":"Latest"})"},
        {"app open notification", [&](UsageTracker& t) { t.trackAppOpenNotification(&notification, kNoContext); },
         "AppOpenNotification",
         R"({"$is_first_time":true,"$sf_msg_content":"body","$sf_msg_title":"title","$sf_plan_id":"plan",
             "$sf_plan_type":"push"})"},
        {"anonymous login", [&](UsageTracker& t) { t.trackLogin(anonymous, false, "wrong code", kNoContext); },
         "QlEventLogin", R"({"ql_reason":"wrong code","ql_result":"Fail","ql_type":"email"})"},
        {"launch", [](UsageTracker& t) { t.trackLaunch(kNoContext); }, "QlEventLaunch", "{}"},
    };
    for (const auto& c : cases) {
        const size_t before = Records(c.event).size();
        c.operation(*m_Tracker);
        const auto records = Records(c.event);
        ASSERT_EQ(records.size(), before + 1) << c.what;
        EXPECT_EQ(OwnProperties(records.back()), ParseJson(c.properties)) << c.what;
    }
}

TEST_F(UsageTrackerTest, FailedChecksRaiseTheirMessagesAndQueueNothing) {
    Start();
    QlEventClick unknownClickType;
    unknownClickType.name = "n";
    unknownClickType.clickType = static_cast<ClickType>(9);
    QlEventFile badIo;
    badIo.aname = "a";
    badIo.io = static_cast<QlIoType>(5);
    QlEventOrder order;
    order.suitId = "s";
    order.currency = QlCurrency::CNY;
    order.originalAmount = 10;
    order.paidAmount = 5;
    QlEventPayment payment;
    payment.orderId = "o";
    payment.result = QlResult::Success;
    payment.paidPlatform = QlPaidPlatform::PayPal;
    payment.currency = QlCurrency::EUR;
    QlAppOpenNotification notification{"title", "", "", "plan", "", "", "push", ""};
    QlLoginUser strangeUser;
    strangeUser.userId = "u";
    strangeUser.userType = static_cast<QlUserType>(99);

    const auto with = [](auto record, auto change) {
        change(record);
        return record;
    };
    const struct {
        Operation operation;
        const char* message;
    } cases[] = {
        {[](UsageTracker& t) { t.trackClick({}, kNoContext); }, "qlEventClick.name is empty"},
        {[&](UsageTracker& t) { t.trackClick(unknownClickType, kNoContext); }, "Unknown ClickType [9]!"},
        {[](UsageTracker& t) { t.trackView({}, kNoContext); }, "qlEventView.name is empty"},
        {[](UsageTracker& t) { t.trackCashier({}, kNoContext); }, "qlEventCashier.ql_cashier_name is empty"},
        {[](UsageTracker& t) { t.trackShare({"", "", "", "", static_cast<QlResult>(7)}, kNoContext); },
         "Unknown task result [7]!"},
        {[](UsageTracker& t) { t.trackTask({"aname", "", "reason", 1.0f, QlResult::Success}, kNoContext); },
         "qlEventTask.name is empty"},
        {[](UsageTracker& t) { t.trackFile({}, kNoContext); }, "qlEventFile.aname is empty"},
        {[&](UsageTracker& t) { t.trackFile(badIo, kNoContext); }, "the io type is invalid"},
        {[&](UsageTracker& t) { t.trackOrder(with(order, [](QlEventOrder& o) { o.suitId.clear(); }), kNoContext); },
         "qlEventOrder.qlSuitId is empty"},
        {[&](UsageTracker& t) { t.trackOrder(with(order, [](QlEventOrder& o) { o.currency.reset(); }), kNoContext); },
         "qlEventOrder.qlCurrency is nullptr"},
        {[&](UsageTracker& t) { t.trackOrder(with(order, [](QlEventOrder& o) { o.originalAmount = 0; }), kNoContext); },
         "qlEventOrder.originalAmount is less than zero"},
        {[&](UsageTracker& t) { t.trackOrder(with(order, [](QlEventOrder& o) { o.paidAmount = 0; }), kNoContext); },
         "qlEventOrder.paidAmount is less than zero"},
        {[&](UsageTracker& t) {
             t.trackOrder(with(order, [](QlEventOrder& o) { o.currency = static_cast<QlCurrency>(20); }), kNoContext);
         },
         "Unknown currency [20]!"},
        {[&](UsageTracker& t) { t.trackPayment(with(payment, [](QlEventPayment& p) { p.orderId.clear(); }), kNoContext); },
         "qlEventPayment.qlOrderId is empty"},
        {[&](UsageTracker& t) { t.trackPayment(with(payment, [](QlEventPayment& p) { p.paidAmount = -1.5f; }), kNoContext); },
         "paidAmount = -1.500000 is invalid"},
        {[&](UsageTracker& t) {
             t.trackPayment(with(payment, [](QlEventPayment& p) { p.originalAmount = -2.0f; }), kNoContext);
         },
         "originalAmount = -2.000000 is invalid"},
        {[&](UsageTracker& t) { t.trackPayment(with(payment, [](QlEventPayment& p) { p.result.reset(); }), kNoContext); },
         "qlEventPayment.result is invalid"},
        {[&](UsageTracker& t) {
             t.trackPayment(with(payment, [](QlEventPayment& p) { p.result = QlResult::Cancelled; }), kNoContext);
         },
         "qlEventPayment.result is invalid"},
        {[&](UsageTracker& t) {
             t.trackPayment(with(payment, [](QlEventPayment& p) { p.paidPlatform.reset(); }), kNoContext);
         },
         "qlEventPayment.qlPaidPlatform is nullptr"},
        {[&](UsageTracker& t) { t.trackPayment(with(payment, [](QlEventPayment& p) { p.currency.reset(); }), kNoContext); },
         "qlEventPayment.qlCurrency is nullptr"},
        {[](UsageTracker& t) { t.trackUpdate({static_cast<QlUpdateOp>(7), {}, {}}, kNoContext); },
         "Unknown QlUpdateOp [7]!"},
        {[](UsageTracker& t) { t.trackUpdate({QlUpdateOp::DownloadEnd, {}, 3.0f}, kNoContext); },
         "Unknown updateResultInfo info"},
        {[](UsageTracker& t) { t.trackUpdate({QlUpdateOp::UpgrateEnd, QlUpdateResult::Success, {}}, kNoContext); },
         "invalid elapsed info"},
        {[](UsageTracker& t) { t.trackUpdate({QlUpdateOp::UpdateCheck, static_cast<QlUpdateResult>(9), {}}, kNoContext); },
         "Unknown QlUpdateResult [9]!"},
        {[](UsageTracker& t) { t.trackAppOpenNotification(nullptr, kNoContext); }, "&appOpenNotification is nullptr"},
        {[&](UsageTracker& t) {
             auto n = notification;
             n.planId.clear();
             t.trackAppOpenNotification(&n, kNoContext);
         },
         "planID is emptry"},
        {[&](UsageTracker& t) {
             auto n = notification;
             n.planType.clear();
             t.trackAppOpenNotification(&n, kNoContext);
         },
         "planType is emptry"},
        {[&](UsageTracker& t) {
             auto n = notification;
             n.msgTitle.clear();
             t.trackAppOpenNotification(&n, kNoContext);
         },
         "msgTitle is emptry"},
        {[&](UsageTracker& t) { t.trackLogin(strangeUser, true, "", kNoContext); }, "Unknown user type [99]!"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ThrownBy(Impl(), c.operation), c.message);
        EXPECT_TRUE(Sdk::QueuedRecords().empty()) << c.message;
        EXPECT_EQ(Pending(), 0) << c.message;
    }
}

TEST_F(UsageTrackerTest, TheWrapperTurnsFailuresIntoOneLineEach) {
    Start();
    AnalyticsTest::MessageCapture messages;
    m_Tracker->trackClick({}, kNoContext);
    m_Tracker->trackView({}, kNoContext);
    m_Tracker->trackCashier({}, kNoContext);
    m_Tracker->trackShare({"", "", "", "", static_cast<QlResult>(7)}, kNoContext);
    m_Tracker->trackTask({}, kNoContext);
    m_Tracker->trackFile({}, kNoContext);
    m_Tracker->trackOrder({}, kNoContext);
    m_Tracker->trackPayment({}, kNoContext);
    m_Tracker->trackUpdate({QlUpdateOp::DownloadEnd, {}, {}}, kNoContext);
    m_Tracker->trackAppOpenNotification(nullptr, kNoContext);
    QlLoginUser strangeUser;
    strangeUser.userType = static_cast<QlUserType>(99);
    m_Tracker->trackLogin(strangeUser, true, "", kNoContext);
    EXPECT_EQ(messages.Output(),
              "Failed to trackClick\nFailed to trackView\nFailed to trackCashier\nFailed to trackShare\n"
              "Failed to trackTask\nFailed to trackFile\nFailed to trackOrder\nFailed to trackPayment\n"
              "Failed to trackUpdate\nFailed to trackAppOpenNotification\nFailed to trackLogin\n");
    EXPECT_TRUE(Sdk::QueuedRecords().empty());
    EXPECT_EQ(m_Tracker->logger(), nullptr);
    EXPECT_NE(Impl().logger(), nullptr);
}

TEST_F(UsageTrackerTest, AnUninitialisedTrackerAcceptsEverythingAndSendsNothing) {
    m_Config.appStore.clear();
    m_Config.serverUrl = AnalyticsTest::CollectorUrl(m_Tag);
    auto implementation = std::make_unique<UsageTrackerImpl>(m_Config);
    EXPECT_EQ(ThrownBy(*implementation, [](UsageTracker& t) { static_cast<UsageTrackerImpl&>(t).init(); }),
              "appStore is empty");
    UsageTrackerWrapper tracker(std::move(implementation));
    AnalyticsTest::MessageCapture messages;
    tracker.trackClick({}, kNoContext);
    tracker.trackTask({"", "task", "", 1.0f, {}}, kNoContext);
    tracker.trackCrash("crash");
    EXPECT_EQ(messages.Output(), "") << "no logger, so no failure line";
    EXPECT_TRUE(Sdk::QueuedRecords().empty());
    EXPECT_FALSE(Sdk::IsInitialized());
    tracker.implementation()->waitForDeliveries(std::chrono::seconds(10));
    EXPECT_TRUE(AnalyticsTest::CollectorRequests(m_Tag).empty());
    EXPECT_FALSE(AnalyticsTest::FileExists(m_IdentityFile));
}

TEST_F(UsageTrackerTest, ContextPropertiesReachOnlyTheirEventTypesAndWinOverOwnOnes) {
    Start();
    QlContextProperties clicksOnly;
    clicksOnly.setProperty({QlEventType::Click}, "IN");
    m_Tracker->trackClick({"", "a"}, clicksOnly);
    m_Tracker->trackView({"", "page", "", ""}, clicksOnly);
    EXPECT_EQ(Records("QlEventClick").back()["properties"]["qlc_ab"].asString(), "IN");
    EXPECT_FALSE(Records("QlEventView").back()["properties"].isMember("qlc_ab"));

    QlContextProperties both;
    both.setProperty({QlEventType::Click, QlEventType::View}, "B2");
    m_Tracker->trackView({"", "page", "", ""}, both);
    EXPECT_EQ(Records("QlEventView").back()["properties"]["qlc_ab"].asString(), "B2");
}

TEST_F(UsageTrackerTest, OrdinaryRequestsOnlyCountAndNeverSend) {
    Start();
    usage_analytics::SetLastSendOk(true);  // requests now run on this thread
    for (int i = 0; i < 3; ++i) m_Tracker->trackClick({"", "button"}, kNoContext);
    m_Tracker->trackTask({"", "task", "", 1.0f, {}}, kNoContext);
    EXPECT_EQ(Pending(), 3 * 2 + 1);
    m_Tracker->trackAppOpenNotification(nullptr, kNoContext);
    EXPECT_EQ(Sdk::QueuedRecords().size(), 4u);
    EXPECT_TRUE(AnalyticsTest::CollectorRequests(m_Tag).empty());
}

TEST_F(UsageTrackerTest, AnImmediateRequestWithNothingPendingSendsNothing) {
    Start();
    AnalyticsTest::MessageCapture messages;
    m_Tracker->trackCrash("first");  // queued, but nothing counted as pending
    Impl().waitForDeliveries(std::chrono::seconds(10));
    EXPECT_EQ(messages.Debugger(), "[Analytics] Sending messages asynchronously") << "first request runs detached";
    EXPECT_TRUE(AnalyticsTest::CollectorRequests(m_Tag).empty());
    EXPECT_EQ(Sdk::QueuedRecords().size(), 1u);

    m_Tracker->trackClick({"", "button"}, kNoContext);
    m_Tracker->trackUninstall("", kNoContext);
    Impl().waitForDeliveries(std::chrono::seconds(10));
    EXPECT_EQ(AnalyticsTest::DeliveredRecords(m_Tag).size(), 3u) << "crash, click and uninstall in one batch";
    EXPECT_EQ(AnalyticsTest::CollectorRequests(m_Tag).size(), 1u);
    EXPECT_TRUE(usage_analytics::LastSendOk());
}

TEST_F(UsageTrackerTest, AnImmediateRequestTriesThreeTimes) {
    Start("&status=500,500,200");
    m_Tracker->trackClick({"", "button"}, kNoContext);
    m_Tracker->trackCrash("c");
    Impl().waitForDeliveries(std::chrono::seconds(10));
    EXPECT_EQ(AnalyticsTest::CollectorRequests(m_Tag).size(), 3u);
    EXPECT_EQ(AnalyticsTest::DeliveredRecords(m_Tag).size(), 2u);
}

TEST_F(UsageTrackerTest, LoginSignsUpOnceAndIsRemembered) {
    Start();
    QlLoginUser user;
    user.userId = "user-7";
    user.userType = QlUserType::MobilePhone;
    user.vipLevel = 3;
    const std::string anonymousId = Sdk::DistinctId();
    m_Tracker->trackLogin(user, true, "", kNoContext);
    m_Tracker->trackLogin(user, true, "", kNoContext);

    const auto logins = Records("QlEventLogin");
    ASSERT_EQ(logins.size(), 2u);
    const Json::Value& first = logins[0]["properties"];
    EXPECT_EQ(first["ql_user_id"].asString(), "user-7");
    EXPECT_EQ(first["ql_login_id"].asString(), "user-7");
    EXPECT_EQ(first["ql_type"].asString(), "mobilephone");
    EXPECT_EQ(first["ql_result"].asString(), "Success");
    EXPECT_TRUE(first["$is_first_time"].asBool());
    EXPECT_FALSE(first.isMember("ql_reason"));
    EXPECT_FALSE(first.isMember("$is_login_id"));
    EXPECT_EQ(logins[0]["distinct_id"].asString(), anonymousId) << "the login event still names the device";
    const auto signUps = Records("$SignUp");
    ASSERT_EQ(signUps.size(), 1u) << "no second sign-up while logged in";
    EXPECT_EQ(signUps[0]["original_id"].asString(), anonymousId);
    EXPECT_EQ(logins[1]["distinct_id"].asString(), "user-7");
    EXPECT_TRUE(logins[1]["properties"]["$is_login_id"].asBool());

    Stop();
    const std::string identity = AnalyticsTest::ReadAnsiFile(m_IdentityFile);
    EXPECT_NE(identity.find("UserId=user-7"), std::string::npos) << identity;
    EXPECT_NE(identity.find("UserVipLevel=3"), std::string::npos) << identity;
    EXPECT_NE(identity.find("isLogined=OK"), std::string::npos) << identity;
    Start();
    EXPECT_EQ(Sdk::DistinctId(), "user-7");
    EXPECT_TRUE(Sdk::IsLoginId());
    EXPECT_EQ(Sdk::SuperProperties().Find("ql_user_id")->text(), "user-7");
}

TEST_F(UsageTrackerTest, ActivityAndPaymentUpdateTheProfile) {
    Start();
    m_Tracker->trackActivity(kNoContext);
    QlEventPayment payment;
    payment.orderId = "o";
    payment.paidAmount = 6.5f;
    payment.result = QlResult::Success;
    payment.paidPlatform = QlPaidPlatform::WeChatPay;
    payment.currency = QlCurrency::CNY;
    m_Tracker->trackPayment(payment, kNoContext);
    Impl().waitForDeliveries(std::chrono::seconds(10));

    const auto activity = Records("QlEventActivity");
    ASSERT_EQ(activity.size(), 1u);
    const Json::Value& p = activity[0]["properties"];
    EXPECT_EQ(p["$ios_install_source"].asString(), "android_id=123##imei=1234##mac=123");
    EXPECT_EQ(p["$user_agent"].asString().rfind("Mozilla/5.0(Windows ", 0), 0u);
    EXPECT_EQ(p["ql_app_id"].asString(), m_Config.appName);
    EXPECT_TRUE(p["$is_first_time"].asBool());

    std::map<std::string, std::string> profile;  // property name -> record type
    for (const auto& record : AnalyticsTest::DeliveredRecords(m_Tag)) {
        if (record["type"].asString().rfind("profile_", 0) != 0) continue;
        for (const auto& name : record["properties"].getMemberNames()) profile[name] = record["type"].asString();
    }
    const std::map<std::string, std::string> expected = {
        {"$first_visit_time", "profile_set_once"}, {"ql_first_visit_date", "profile_set_once"},
        {"ql_last_visit_date", "profile_set"},     {"ql_os", "profile_set"},
        {"ql_os_version", "profile_set"},          {"ql_app_store", "profile_set"},
        {"ql_app_platform", "profile_set"},        {"ql_last_app_id", "profile_set"},
        {"ql_last_app_version", "profile_set"},    {"$ios_install_source", "profile_set_once"},
        {"ql_paid_count", "profile_increment"},    {"ql_consumption", "profile_increment"},
        {"ql_first_paid_date", "profile_set_once"}, {"ql_last_paid_date", "profile_set"},
    };
    EXPECT_EQ(profile, expected);
    Stop();
    EXPECT_NE(AnalyticsTest::ReadAnsiFile(m_IdentityFile).find("UserVipLevel=1"), std::string::npos);
}

TEST_F(UsageTrackerTest, SetLocaleReplacesTheLocaleTripleWhenItHoldsAnUnderscore) {
    Start();
    const auto before = Sdk::SuperProperties();
    m_Tracker->setLocale("en_US");
    auto now = Sdk::SuperProperties();
    EXPECT_EQ(now.Find("ql_l10n_locale")->text(), "en_US");
    EXPECT_EQ(now.Find("ql_l10n_language")->text(), "en");
    EXPECT_EQ(now.Find("ql_l10n_country")->text(), "US");
    m_Tracker->setLocale("english");
    now = Sdk::SuperProperties();
    EXPECT_EQ(now.Find("ql_l10n_locale")->text(), before.Find("ql_l10n_locale")->text());
    EXPECT_EQ(now.Find("ql_l10n_language")->text(), before.Find("ql_l10n_language")->text());
    EXPECT_EQ(now.Find("ql_l10n_country")->text(), before.Find("ql_l10n_country")->text());
}

TEST_F(UsageTrackerTest, TeardownDeliversWhatIsPendingOnce) {
    Start();
    m_Tracker->trackTask({"", "one", "", 1.0f, {}}, kNoContext);
    m_Tracker->trackClick({"", "two"}, kNoContext);
    Stop();
    const auto delivered = AnalyticsTest::DeliveredRecords(m_Tag);
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_EQ(delivered[0]["properties"]["ql_task_name"].asString(), "one");
    EXPECT_EQ(AnalyticsTest::CollectorRequests(m_Tag).size(), 1u);
    EXPECT_EQ(AnalyticsTest::ReadAnsiFile(m_DataDirectory + "\\" + m_Config.appName + "_QLSQueue.txt"), "");
}

TEST_F(UsageTrackerTest, TeardownWaitsForDeliveryThreadsBeforeShuttingDown) {
    AnalyticsTest::MessageCapture messages;
    Start("&status=500&delay_ms=300");
    m_Tracker->trackClick({"", "two"}, kNoContext);
    m_Tracker->trackCrash("c");  // an immediate request on a thread of its own
    Stop();
    // Three attempts on the request thread, then three by the teardown, none overlapping the
    // shutdown: everything still queued was staged for the next run.
    const std::string failure = "QLAnalytics SDK send failed: status 500\n";
    std::string sixFailures;
    for (int i = 0; i < 6; ++i) sixFailures += failure;
    EXPECT_EQ(messages.Errors(), sixFailures);
    const std::string staged = AnalyticsTest::ReadAnsiFile(m_DataDirectory + "\\" + m_Config.appName + "_QLSQueue.txt");
    EXPECT_EQ(std::count(staged.begin(), staged.end(), '\n'), 2) << staged;
    EXPECT_NE(staged.find("\"event\":\"AppCrashed\""), std::string::npos);
}

TEST_F(UsageTrackerTest, ATeardownThatGivesUpWaitingLeavesTheThreadSafe) {
    const auto savedBound = DeliveryRequests::TeardownBound();
    DeliveryRequests::SetTeardownBound(std::chrono::milliseconds(100));
    Start("&delay_ms=1500");
    m_Tracker->trackClick({"", "late"}, kNoContext);
    m_Tracker->trackCrash("c");
    ASSERT_TRUE(AnalyticsTest::WaitForRequests(m_Tag, 1, 10000));
    Stop();  // returns while the request thread still waits for the collector
    DeliveryRequests::SetTeardownBound(savedBound);
    ::Sleep(2000);  // the thread finishes against the state it shares
    Start();
    m_Tracker->trackClick({"", "after"}, kNoContext);
    Stop();
    EXPECT_EQ(AnalyticsTest::DeliveredRecords(m_Tag).size(), 3u);
}

TEST_F(UsageTrackerTest, IdentityFirstRunSecondRunAndAddressChange) {
    Start();
    Stop();
    const std::string first = AnalyticsTest::ReadAnsiFile(m_IdentityFile);
    char distinct[128] = {}, primary[128] = {}, url[256] = {}, logged[8] = {}, user[8] = {}, vip[8] = {};
    ::GetPrivateProfileStringA("Base", "DistinctId", "", distinct, sizeof distinct, m_IdentityFile.c_str());
    ::GetPrivateProfileStringA("Base", "PrimaryDistinctId", "", primary, sizeof primary, m_IdentityFile.c_str());
    ::GetPrivateProfileStringA("Base", "UserId", "?", user, sizeof user, m_IdentityFile.c_str());
    ::GetPrivateProfileStringA("Base", "UserVipLevel", "", vip, sizeof vip, m_IdentityFile.c_str());
    ::GetPrivateProfileStringA("Base", "URL", "", url, sizeof url, m_IdentityFile.c_str());
    ::GetPrivateProfileStringA("Base", "isLogined", "", logged, sizeof logged, m_IdentityFile.c_str());
    EXPECT_TRUE(std::regex_match(distinct, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}")))
        << distinct;
    EXPECT_EQ(std::string(distinct), primary);
    EXPECT_EQ(std::string(user), "");
    EXPECT_EQ(std::string(vip), "0");
    EXPECT_EQ(std::string(logged), "NG");
    EXPECT_EQ(std::string(url), m_Config.serverUrl);
    const size_t base = first.find("[Base]"), uninstall = first.find("[UninstallInfo]");
    ASSERT_NE(uninstall, std::string::npos) << first;
    EXPECT_LT(base, uninstall);
    EXPECT_NE(first.find("AppStore=store_setup.exe"), std::string::npos);
    EXPECT_NE(first.find("AppName=" + m_Config.appName), std::string::npos);
    EXPECT_NE(first.find("AppVersion=2.0.1"), std::string::npos);
    EXPECT_TRUE(AnalyticsTest::FileExists(m_DataDirectory + "\\" + m_Config.appName + "_QLSLog.txt"));

    Start();
    EXPECT_EQ(Sdk::DistinctId(), distinct) << "same collector, same id";
    EXPECT_EQ(m_Tracker->primaryDistinctId(), distinct);
    QlLoginUser user7;
    user7.userId = "user-7";
    m_Tracker->trackLogin(user7, true, "", kNoContext);
    Stop();

    Start("&moved=1");  // another collector address logs the user out
    EXPECT_EQ(Sdk::DistinctId(), distinct);
    EXPECT_FALSE(Sdk::IsLoginId());
    Stop();
    ::GetPrivateProfileStringA("Base", "isLogined", "", logged, sizeof logged, m_IdentityFile.c_str());
    ::GetPrivateProfileStringA("Base", "UserId", "?", user, sizeof user, m_IdentityFile.c_str());
    EXPECT_EQ(std::string(logged), "NG");
    EXPECT_EQ(std::string(user), "");
}

}  // namespace
