// The consumer against a real collector on loopback: batches, failures, put-back and the
// staging file.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

#include "analytics/sdk/http_sender.h"
#include "analytics/sdk/record_consumer.h"
#include "tests/analytics/sdk/collector_client.h"
#include "tests/analytics/sdk/message_capture.h"
#include "tests/support/temp_folder.h"
#include "utils/text_convert.h"

namespace {

using usage_analytics::RecordConsumer;

std::string Record(int number) { return "{\"n\":" + std::to_string(number) + ",\"s\":\"record\"}"; }

void Fill(RecordConsumer& consumer, int first, int count) {
    for (int i = first; i < first + count; ++i) consumer.add(Record(i));
}

std::vector<std::string> Texts(const std::vector<Json::Value>& records) {
    std::vector<std::string> texts;
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    for (const auto& record : records) texts.push_back(Json::writeString(builder, record));
    return texts;
}

std::vector<std::string> Expected(int first, int count) {
    std::vector<std::string> texts;
    for (int i = first; i < first + count; ++i) texts.push_back(Record(i));
    return texts;
}

std::string AnsiPath(const std::wstring& path) { return Utils::WideToMultiByte(path, 0); }

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(AnsiPath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class TimeoutScope {
public:
    explicit TimeoutScope(std::chrono::milliseconds timeout) : m_Saved(usage_analytics::RequestTimeout()) {
        usage_analytics::SetRequestTimeout(timeout);
    }
    ~TimeoutScope() { usage_analytics::SetRequestTimeout(m_Saved); }

private:
    std::chrono::milliseconds m_Saved;
};

TEST(RecordConsumer, KeepsTheNewest1024Records) {
    RecordConsumer consumer("http://127.0.0.1:9/", "");
    Fill(consumer, 0, 1025);
    const auto records = consumer.Records();
    ASSERT_EQ(records.size(), 1024u);
    EXPECT_EQ(records.front(), Record(1));
    EXPECT_EQ(records.back(), Record(1024));
}

TEST(RecordConsumer, FullFlushOf1024RecordsMakes35RequestsInOrder) {
    SKIP_WITHOUT_COLLECTOR();
    const std::string tag = AnalyticsTest::UniqueTag("full");
    RecordConsumer consumer(AnalyticsTest::CollectorUrl(tag), "");
    Fill(consumer, 0, 1024);
    EXPECT_TRUE(consumer.FlushAll());
    EXPECT_EQ(consumer.size(), 0u);

    const auto requests = AnalyticsTest::CollectorRequests(tag);
    ASSERT_EQ(requests.size(), 35u);
    for (size_t i = 0; i < 34; ++i) EXPECT_EQ(requests[i]["records"].asInt(), 30) << i;
    EXPECT_EQ(requests[34]["records"].asInt(), 4);
    EXPECT_EQ(requests[0]["user_agent"].asString(), "QLAnalytics CPP SDK 0.9");
    EXPECT_EQ(requests[0]["path"].asString(), "/sa");
    EXPECT_EQ(requests[0]["query"].asString().rfind("project=pc&", 0), 0u);
    EXPECT_TRUE(requests[0]["error"].isNull()) << requests[0]["error"].asString();
    EXPECT_EQ(Texts(AnalyticsTest::DeliveredRecords(tag)), Expected(0, 1024));
    EXPECT_TRUE(usage_analytics::LastSendOk());
}

TEST(RecordConsumer, ABatchDecodesAtTheCollectorToExactlyTheJoinedTexts) {
    SKIP_WITHOUT_COLLECTOR();
    const struct {
        std::vector<std::string> records;
    } cases[] = {
        {{"{\"distinct_id\":\"\xE5\xAE\x89\xE8\xA3\x85\",\"t\":\"a\\tb\\\"c\"}"}},
        {{"{\"a\":1}", "{\"b\":[\"x\",\"y\"]}", "{\"c\":1.23457e+06}"}},
    };
    for (const auto& c : cases) {
        const std::string tag = AnalyticsTest::UniqueTag("batch");
        RecordConsumer consumer(AnalyticsTest::CollectorUrl(tag), "");
        for (const auto& record : c.records) consumer.add(record);
        EXPECT_TRUE(consumer.flush());
        const auto requests = AnalyticsTest::CollectorRequests(tag);
        ASSERT_EQ(requests.size(), 1u);
        std::string joined = "[";
        for (size_t i = 0; i < c.records.size(); ++i) joined += (i > 0 ? "," : "") + c.records[i];
        EXPECT_EQ(requests[0]["batch"].asString(), joined + "]");
    }
}

TEST(RecordConsumer, AFailedBatchLeavesTheQueueAsItWas) {
    SKIP_WITHOUT_COLLECTOR();
    AnalyticsTest::MessageCapture messages;
    const std::string tag = AnalyticsTest::UniqueTag("status500");
    RecordConsumer consumer(AnalyticsTest::CollectorUrl(tag, "&status=500"), "");
    Fill(consumer, 0, 75);
    const auto before = consumer.Records();
    EXPECT_FALSE(consumer.FlushAll());
    EXPECT_EQ(consumer.Records(), before);
    EXPECT_EQ(AnalyticsTest::CollectorRequests(tag).size(), 1u) << "the full flush stops at the failed batch";
    EXPECT_FALSE(usage_analytics::LastSendOk());
    EXPECT_EQ(messages.Errors(), "QLAnalytics SDK send failed: status 500\n");
    EXPECT_EQ(messages.Debugger(), "[analytics] QLAnalytics SDK send failed");
}

TEST(RecordConsumer, AFailedBatchPutsBackOnlyWhatStillFits) {
    SKIP_WITHOUT_COLLECTOR();
    AnalyticsTest::MessageCapture messages;
    const std::string tag = AnalyticsTest::UniqueTag("putback");
    RecordConsumer consumer(AnalyticsTest::CollectorUrl(tag, "&status=500&delay_ms=1500"), "");
    Fill(consumer, 0, 30);
    bool sent = true;
    std::thread flushing([&] { sent = consumer.flush(); });
    // The batch leaves the queue before the request starts.
    for (int i = 0; i < 500 && consumer.size() != 0; ++i) ::Sleep(5);
    ASSERT_EQ(consumer.size(), 0u);
    Fill(consumer, 1000, 1020);
    flushing.join();
    EXPECT_FALSE(sent);
    const auto records = consumer.Records();
    ASSERT_EQ(records.size(), 1024u);
    const std::vector<std::string> front(records.begin(), records.begin() + 4);
    EXPECT_EQ(front, Expected(26, 4)) << "the last four records of the batch";
    EXPECT_EQ(records[4], Record(1000));
    EXPECT_EQ(records.back(), Record(2019));
}

TEST(RecordConsumer, ASlowCollectorCountsAsFailureAfterTheTimeout) {
    SKIP_WITHOUT_COLLECTOR();
    AnalyticsTest::MessageCapture messages;
    const TimeoutScope timeout(std::chrono::milliseconds(300));
    const std::string tag = AnalyticsTest::UniqueTag("slow");
    RecordConsumer consumer(AnalyticsTest::CollectorUrl(tag, "&delay_ms=2000"), "");
    Fill(consumer, 0, 3);
    const DWORD started = ::GetTickCount();
    EXPECT_FALSE(consumer.flush());
    EXPECT_LT(::GetTickCount() - started, 1900u) << "the request gave up before the collector answered";
    EXPECT_EQ(consumer.Records(), Expected(0, 3));
    EXPECT_EQ(messages.Errors().rfind("QLAnalytics SDK send failed: Timeout", 0), 0u) << messages.Errors();
    EXPECT_EQ(AnalyticsTest::CollectorRequests(tag).size(), 1u);
}

TEST(RecordConsumer, AnUnreachableCollectorFailsWithCurlsErrorText) {
    AnalyticsTest::MessageCapture messages;
    RecordConsumer consumer("http://127.0.0.1:1/sa?project=pc", "");
    Fill(consumer, 0, 2);
    EXPECT_FALSE(consumer.FlushAll());
    EXPECT_EQ(consumer.size(), 2u);
    EXPECT_EQ(messages.Errors(), "QLAnalytics SDK send failed: Couldn't connect to server\n");
}

TEST(RecordConsumer, CloseSavesTheQueueAndTheNextConsumerSendsItFirst) {
    SKIP_WITHOUT_COLLECTOR();
    TestSupport::TempFolder folder;
    const std::wstring staging = folder.File(L"app_QLSQueue.txt");
    {
        RecordConsumer first("http://127.0.0.1:1/", AnsiPath(staging));
        Fill(first, 0, 40);
        first.close();
    }
    std::string saved = ReadFile(staging);
    std::string expected;
    for (const auto& record : Expected(0, 40)) expected += record + "\n";
    EXPECT_EQ(saved, expected);

    const std::string tag = AnalyticsTest::UniqueTag("staged");
    RecordConsumer second(AnalyticsTest::CollectorUrl(tag), AnsiPath(staging));
    Fill(second, 100, 5);
    EXPECT_TRUE(second.FlushAll());
    auto delivered = Expected(0, 40);
    const auto fresh = Expected(100, 5);
    delivered.insert(delivered.end(), fresh.begin(), fresh.end());
    EXPECT_EQ(Texts(AnalyticsTest::DeliveredRecords(tag)), delivered);
    EXPECT_EQ(ReadFile(staging), "") << "read once, then emptied";
}

TEST(RecordConsumer, StagingFileSkipsInvalidLinesAndFillsOnlyTheFreeRoom) {
    TestSupport::TempFolder folder;
    const std::wstring staging =
        folder.Write(L"queue.txt", "{\"n\":1}\r\n\nnot a record\n{\"n\":2}\n{\"n\":3\n{\"n\":4}\n{\"n\":5}\n");
    RecordConsumer consumer("http://127.0.0.1:1/", AnsiPath(staging));
    Fill(consumer, 0, 1021);  // room for three
    consumer.close();
    const std::string saved = ReadFile(staging);
    EXPECT_EQ(saved.substr(0, 24), "{\"n\":2}\n{\"n\":4}\n{\"n\":5}\n") << "the last three valid lines, in file order";
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 1024);

    RecordConsumer missing("http://127.0.0.1:1/", AnsiPath(folder.File(L"absent\\queue.txt")));
    missing.add(Record(1));
    missing.close();
    EXPECT_EQ(missing.size(), 1u);
}

}  // namespace
