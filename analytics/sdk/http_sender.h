// One collector request per batch: the batch is encoded (gzip, Base64, URL encoding) and
// POSTed with libcurl on a fresh easy handle; only a 200 counts as delivered. The outcome
// of every request that reached the HTTP stage is kept process-wide as "last send ok",
// which decides whether the tracker's next delivery request runs on the caller's thread.
#pragma once

#include <chrono>
#include <map>
#include <string>

namespace usage_analytics {

struct HttpResponse {
    long status = -1;  // -1 when the transfer failed; `body` then holds curl's error text
    std::string body;
    std::map<std::string, std::string> headers;
};

class HttpSender {
public:
    static constexpr char kUserAgent[] = "QLAnalytics CPP SDK 0.9";

    explicit HttpSender(std::string collectorUrl) : m_CollectorUrl(std::move(collectorUrl)) {}

    // Encodes and sends one batch text; true exactly when the collector answered 200.
    // Throws std::runtime_error when no curl handle can be created.
    bool Send(const std::string& batchText) const;

    // One POST of a ready body; blocks for at most the request timeout.
    HttpResponse Post(const std::string& body) const;

    const std::string& collectorUrl() const { return m_CollectorUrl; }

private:
    std::string m_CollectorUrl;
};

bool LastSendOk();
void SetLastSendOk(bool ok);

// Ceiling of one request, 3 s; tests shorten it to exercise slow collectors quickly.
std::chrono::milliseconds RequestTimeout();
void SetRequestTimeout(std::chrono::milliseconds timeout);

}  // namespace usage_analytics
