#include "tests/download/download_test_support.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "download/file_ops.h"
#include "utils/file_md5.h"
#include "utils/text_convert.h"

namespace DownloadTest {

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

int EnvPort(const char* name) {
    const int port = std::atoi(Env(name).c_str());
    if (port <= 0) ADD_FAILURE() << name << " is not set: run this program through tools/servers/with_servers.py";
    return port;
}

std::string UrlOn(int port, const std::string& scheme, const std::string& path) {
    return scheme + "://127.0.0.1:" + std::to_string(port) + path;
}

size_t AppendToString(char* data, size_t size, size_t count, void* text) {
    static_cast<std::string*>(text)->append(data, size * count);
    return size * count;
}

// libcurl once for the whole program, as the installer's entry does.
class CurlEnvironment : public ::testing::Environment {
public:
    void SetUp() override { curl_global_init(CURL_GLOBAL_ALL); }
    void TearDown() override { curl_global_cleanup(); }
};
const ::testing::Environment* const g_Curl = ::testing::AddGlobalTestEnvironment(new CurlEnvironment);

}  // namespace

int HttpPort() { return EnvPort("LUMIVOX_TEST_HTTP_PORT"); }
int HttpsPort() { return EnvPort("LUMIVOX_TEST_HTTPS_PORT"); }
int FaultPort() { return EnvPort("LUMIVOX_TEST_FAULT_PORT"); }
std::string NginxUrl(const std::string& path) { return UrlOn(HttpPort(), "http", path); }
std::string HttpsUrl(const std::string& path) { return UrlOn(HttpsPort(), "https", path); }
std::string FaultUrl(const std::string& path) { return UrlOn(FaultPort(), "http", path); }
std::wstring Wide(const std::string& text) { return Utils::Utf8ToWide(text); }
std::string LogsFolder() { return Env("LUMIVOX_TEST_LOGS"); }

std::wstring OriginalPath(const std::string& name) { return Wide(Env("LUMIVOX_TEST_ROOT") + "\\files\\" + name); }

std::string Md5Of(const std::string& name) { return Utils::GetFileMd5W(OriginalPath(name)); }

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

int64_t SizeOf(const std::wstring& path) { return Download::FileSize(path); }

std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    FILE* file = ::_wfopen(path.c_str(), L"rb");
    if (file == nullptr) return bytes;
    char block[65536];
    size_t read = 0;
    while ((read = std::fread(block, 1, sizeof(block), file)) > 0) bytes.append(block, read);
    std::fclose(file);
    return bytes;
}

std::vector<std::string> LogLines(const std::string& logName, const std::string& fragment) {
    std::vector<std::string> found;
    std::istringstream log(ReadBytes(Wide(Env("LUMIVOX_TEST_LOGS") + "\\" + logName)));
    std::string line;
    while (std::getline(log, line)) {
        if (line.find(fragment) != std::string::npos) found.push_back(line);
    }
    return found;
}

bool WaitForLogLines(const std::string& logName, const std::string& fragment, size_t count, unsigned long timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (LogLines(logName, fragment).size() < count) {
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(50);
    }
    return true;
}

std::string HttpGetText(const std::string& url) {
    std::string body;
    CURL* curl = curl_easy_init();
    if (curl == nullptr) return body;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &AppendToString);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 30L);
    if (curl_easy_perform(curl) != CURLE_OK) body.clear();
    curl_easy_cleanup(curl);
    return body;
}

int OneShotPort() { return std::atoi(HttpGetText(FaultUrl("/oneshot")).c_str()); }

std::string UniqueToken() {
    static std::atomic<int> next{0};
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test != nullptr ? std::string(test->test_suite_name()) + "-" + test->name() : "t";
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') c = '-';
    }
    return name + "-" + std::to_string(::GetTickCount64()) + "-" + std::to_string(++next);
}

DownloadOptions FastOptions() {
    DownloadOptions options;
    options.timings.retryPauseMs = 20;
    options.timings.partRetryPauseMs = 20;
    options.timings.lowSpeedTimeSeconds = 2;
    options.timings.partLowSpeedTimeSeconds = 2;
    options.timings.probeTimeoutSeconds = 3;
    options.timings.winRetryPauseMs = 20;
    return options;
}

DownloadCallback EventRecorder::Callback() {
    return [this](int code, double value, const std::wstring& text) {
        Event event{code, value, text, ::GetCurrentThreadId()};
        {
            std::lock_guard<std::mutex> lock(m_Lock);
            m_Events.push_back(event);
        }
        if (onEvent) onEvent(event);
        m_Changed.notify_all();
    };
}

bool EventRecorder::WaitForFinal(unsigned long timeoutMs, size_t count) {
    std::unique_lock<std::mutex> lock(m_Lock);
    return m_Changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        size_t finals = 0;
        for (const Event& event : m_Events) {
            if (event.code == DL_CODE_SUCCESS || event.code == DL_CODE_FAIL) ++finals;
        }
        return finals >= count;
    });
}

bool EventRecorder::WaitForCode(int code, unsigned long timeoutMs) {
    std::unique_lock<std::mutex> lock(m_Lock);
    return m_Changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        for (const Event& event : m_Events) {
            if (event.code == code) return true;
        }
        return false;
    });
}

std::vector<Event> EventRecorder::Events() const {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Events;
}

std::vector<int> EventRecorder::Codes() const {
    std::vector<int> codes;
    for (const Event& event : Events()) {
        if (event.code != DL_CODE_PROGRESS) codes.push_back(event.code);
    }
    return codes;
}

std::vector<double> EventRecorder::ProgressValues() const {
    std::vector<double> values;
    for (const Event& event : Events()) {
        if (event.code == DL_CODE_PROGRESS) values.push_back(event.value);
    }
    return values;
}

size_t EventRecorder::Count() const {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Events.size();
}

}  // namespace DownloadTest
