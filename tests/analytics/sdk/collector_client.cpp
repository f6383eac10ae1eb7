#include "tests/analytics/sdk/collector_client.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <sstream>

#include "utils/text_convert.h"

namespace AnalyticsTest {

namespace {

std::string Environment(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    if (length == 0 || length >= 1024) return {};
    return Utils::WideToUtf8(value);
}

std::string ReadRecordsFile() {
    const std::wstring path = Utils::Utf8ToWide(Environment(L"LUMIVOX_COLLECTOR_RECORDS"));
    std::string content;
    FILE* file = ::_wfopen(path.c_str(), L"rb");
    if (file == nullptr) return content;
    char buffer[65536];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, read);
    std::fclose(file);
    return content;
}

std::vector<Json::Value> Lines(const std::string& kind, const std::string& tag) {
    std::vector<Json::Value> lines;
    std::istringstream content(ReadRecordsFile());
    std::string line;
    while (std::getline(content, line)) {
        const Json::Value value = ParseJson(line);
        if (value["kind"].asString() == kind && value["tag"].asString() == tag) lines.push_back(value);
    }
    return lines;
}

}  // namespace

Json::Value ParseJson(const std::string& text) {
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    // A line the collector is still writing does not parse; it is read again next time.
    if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors)) return Json::Value();
    return value;
}

bool CollectorAvailable() { return !Environment(L"LUMIVOX_COLLECTOR_URL").empty(); }

std::string CollectorUrl(const std::string& tag, const std::string& extraQuery) {
    return Environment(L"LUMIVOX_COLLECTOR_URL") + "&tag=" + tag + extraQuery;
}

std::string UniqueTag(const std::string& stem) {
    static std::atomic<int> counter{0};
    return stem + "-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

std::vector<Json::Value> CollectorRequests(const std::string& tag) { return Lines("request", tag); }

std::vector<Json::Value> DeliveredRecords(const std::string& tag) {
    std::vector<Json::Value> delivered;
    for (const auto& line : Lines("record", tag)) {
        if (line["status"].asInt() == 200) delivered.push_back(line["record"]);
    }
    return delivered;
}

bool WaitForRequests(const std::string& tag, size_t count, unsigned long timeoutMs) {
    const DWORD started = ::GetTickCount();
    for (;;) {
        if (CollectorRequests(tag).size() >= count) return true;
        if (::GetTickCount() - started > timeoutMs) return false;
        ::Sleep(20);
    }
}

}  // namespace AnalyticsTest
