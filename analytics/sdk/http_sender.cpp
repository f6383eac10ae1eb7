#include "analytics/sdk/http_sender.h"

#include <curl/curl.h>

#include <atomic>
#include <mutex>
#include <stdexcept>

#include "analytics/sdk/batch_encoding.h"
#include "analytics/sdk/console_messages.h"
#include "analytics/sdk/no_destructor.h"
#include "utils/win_handle.h"

namespace usage_analytics {

namespace {

struct CurlEasyTraits {
    using Type = CURL*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { curl_easy_cleanup(value); }
};
using UniqueCurl = Utils::UniqueResource<CurlEasyTraits>;

struct SendStatus {
    std::mutex lock;
    bool lastSendOk = false;
};

SendStatus& Status() {
    static NoDestructor<SendStatus> status;
    return *status;
}

std::atomic<long long> g_RequestTimeoutMs{3000};

size_t CollectBody(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

std::string Trim(const std::string& text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

size_t CollectHeader(char* data, size_t size, size_t count, void* target) {
    const std::string line = Trim(std::string(data, size * count));
    if (!line.empty()) {
        auto& headers = *static_cast<std::map<std::string, std::string>*>(target);
        const size_t colon = line.find(':');
        if (colon == std::string::npos) {
            headers[line] = "present";
        } else {
            headers[Trim(line.substr(0, colon))] = Trim(line.substr(colon + 1));
        }
    }
    return size * count;
}

}  // namespace

constexpr char HttpSender::kUserAgent[];

bool LastSendOk() {
    std::lock_guard<std::mutex> guard(Status().lock);
    return Status().lastSendOk;
}

void SetLastSendOk(bool ok) {
    std::lock_guard<std::mutex> guard(Status().lock);
    Status().lastSendOk = ok;
}

std::chrono::milliseconds RequestTimeout() { return std::chrono::milliseconds(g_RequestTimeoutMs.load()); }

void SetRequestTimeout(std::chrono::milliseconds timeout) { g_RequestTimeoutMs = timeout.count(); }

HttpResponse HttpSender::Post(const std::string& body) const {
    UniqueCurl curl(curl_easy_init());
    if (!curl) throw std::runtime_error("Couldn't initialize curl handle");
    HttpResponse response;
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, m_CollectorUrl.c_str());
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(handle, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(g_RequestTimeoutMs.load()));
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &CollectBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &response.body);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &CollectHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &response.headers);

    const CURLcode result = curl_easy_perform(handle);
    if (result != CURLE_OK) {
        response.status = -1;
        response.body = curl_easy_strerror(result);
        return response;
    }
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &response.status);
    return response;
}

bool HttpSender::Send(const std::string& batchText) const {
    std::string body;
    // A batch that cannot be compressed fails without a request and leaves "last send ok".
    if (!EncodeBatch(batchText, &body)) return false;
    const HttpResponse response = Post(body);
    const bool ok = response.status == 200;
    if (!ok) {
        WriteDebugger("[analytics] QLAnalytics SDK send failed");
        WriteError("QLAnalytics SDK send failed: " + response.body + "\n");
    }
    SetLastSendOk(ok);
    return ok;
}

}  // namespace usage_analytics
