// The test side of the loopback collector started by tools/collector/with_collector.py:
// its URL (with a tag and the answer a test wants in the query) and the lines it recorded.
#pragma once

#include <json/json.h>

#include <string>
#include <vector>

namespace AnalyticsTest {

// True when the program runs under the collector script.
bool CollectorAvailable();

// The collector URL with "&tag=<tag>" and `extraQuery` (for example "&status=500&delay_ms=800").
std::string CollectorUrl(const std::string& tag, const std::string& extraQuery = "");

// A tag no other test of this run uses.
std::string UniqueTag(const std::string& stem);

// The "request" lines for a tag, in arrival order.
std::vector<Json::Value> CollectorRequests(const std::string& tag);
// The records of every request for a tag that the collector answered with 200, in order.
std::vector<Json::Value> DeliveredRecords(const std::string& tag);

// Polls the records file until the tag has `count` requests; bounded by `timeoutMs`.
bool WaitForRequests(const std::string& tag, size_t count, unsigned long timeoutMs);

Json::Value ParseJson(const std::string& text);

}  // namespace AnalyticsTest

#define SKIP_WITHOUT_COLLECTOR()                                                                   \
    if (!AnalyticsTest::CollectorAvailable()) {                                                    \
        GTEST_SKIP() << "needs the loopback collector (run through tools/collector/with_collector.py)"; \
    }
