// Analytics benchmark, run under Wine against the loopback collector (bench/analytics/run.sh).
// Prints, each beside a baseline measured in the same run:
//   1. the median cost of building and queuing one installer Task record (goal under 20 us),
//      against building and writing the same record with jsoncpp;
//   2. the time to deliver 1024 queued records (goal under 2 s), against posting the same
//      35 ready-made bodies with no record handling at all;
//   3. the compressed size of the installer's batches as a share of their JSON (goal under 15 %).
#include <windows.h>

#include <json/json.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "analytics/context_properties.h"
#include "analytics/installer_reporting.h"
#include "analytics/preset_properties.h"
#include "analytics/sdk/batch_encoding.h"
#include "analytics/sdk/http_sender.h"
#include "analytics/sdk/sdk.h"
#include "analytics/usage_tracker_impl.h"
#include "utils/text_convert.h"

namespace {

using namespace quillon::tracking;
using usage_analytics::PropertiesNode;
using usage_analytics::Sdk;

double NowMicroseconds() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1e6 / frequency;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

std::string Environment(const char* name) {
    char value[1024] = {};
    const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? value : std::string();
}

PresetInputs InstallerPresets() {
    return {"lumivoxApp.downloader", "1.7.9", "LumivoxSetup.exe", "china", "lumivoxApp", "", ""};
}

// The whole of ReportTask but the delivery request: conversions, context, properties, record.
void QueueInstallerTask(int index) {
    const ExperimentValues experiment = {{L"AB", L"IN"}};
    QlContextProperties context;
    ApplyExperimentValue(experiment, {QlEventType::Task}, context);
    QlEventTask task;
    task.name = Utils::WideToUtf8(index % 2 == 0 ? L"大包下载完毕" : L"开始下载大包");
    task.reason = Utils::WideToUtf8(L"");
    task.elapsed = 12.5f + static_cast<float>(index % 7);
    task.result = QlResult::Success;
    Sdk::Track("QlEventTask", TaskProperties(task, context));
}

// The same record made with a general JSON library, as a yardstick.
std::string JsonCppTaskRecord(const Json::Value& superProperties, const Json::StreamWriterBuilder& writer, int index) {
    Json::Value record;
    Json::Value properties = superProperties;
    properties["ql_task_name"] = index % 2 == 0 ? "大包下载完毕" : "开始下载大包";
    properties["ql_task_elapsed"] = 12.5 + index % 7;
    properties["ql_task_result"] = "Success";
    properties["$is_first_time"] = true;
    properties["qlc_ab"] = "IN";
    record["_track_id"] = 123456789;
    record["distinct_id"] = "0A1B2C3D-0A1B-0A1B-0A1B-0A1B2C3D4E5F";
    record["event"] = "QlEventTask";
    record["lib"]["$lib"] = "cpp";
    record["lib"]["$lib_method"] = "code";
    record["lib"]["$lib_version"] = "0.9";
    record["properties"] = properties;
    record["time"] = static_cast<Json::Int64>(usage_analytics::CurrentTimeMilliseconds());
    record["type"] = "track";
    return Json::writeString(writer, record);
}

void StartSdk(const std::string& url) {
    Sdk::Init("", url, "0A1B2C3D-0A1B-0A1B-0A1B-0A1B2C3D4E5F", false);
    Sdk::RegisterSuperProperties(BuildPresetProperties(InstallerPresets()));
}

void RecordCost(const std::string& url) {
    StartSdk(url);
    const int rounds = 20000;
    std::vector<double> ours, baseline;
    for (int i = 0; i < rounds; ++i) {
        const double start = NowMicroseconds();
        QueueInstallerTask(i);
        ours.push_back(NowMicroseconds() - start);
    }
    Json::Value super;
    const PropertiesNode superProperties = Sdk::SuperProperties();
    for (const auto& entry : superProperties.entries()) {
        const auto& value = entry.second;
        if (value.type() == usage_analytics::utils::ValueNode::INT) {
            super[entry.first] = static_cast<Json::Int64>(value.integer());
        } else {
            super[entry.first] = value.text();
        }
    }
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    size_t sink = 0;
    for (int i = 0; i < rounds; ++i) {
        const double start = NowMicroseconds();
        sink += JsonCppTaskRecord(super, writer, i).size();
        baseline.push_back(NowMicroseconds() - start);
    }
    Sdk::Shutdown();
    const double median = Median(ours), reference = Median(baseline);
    std::printf("Task record built and queued: median %.2f us over %d (goal < 20 us); "
                "jsoncpp build+write of the same record: median %.2f us; ratio %.2f%s\n",
                median, rounds, reference, median / reference, sink == 0 ? " (no output?)" : "");
}

void DeliveryTime(const std::string& url) {
    StartSdk(url);
    for (int i = 0; i < 1024; ++i) QueueInstallerTask(i);
    const std::vector<std::string> queued = Sdk::QueuedRecords();
    const double start = NowMicroseconds();
    const bool delivered = Sdk::Flush();
    const double seconds = (NowMicroseconds() - start) / 1e6;
    Sdk::Shutdown();

    // The same requests with everything ready: only the HTTP round trips remain.
    std::vector<std::string> bodies;
    for (size_t at = 0; at < queued.size(); at += 30) {
        const std::vector<std::string> batch(queued.begin() + at, queued.begin() + std::min(at + 30, queued.size()));
        std::string body;
        usage_analytics::EncodeBatch(usage_analytics::BuildBatchText(batch), &body);
        bodies.push_back(body);
    }
    const usage_analytics::HttpSender sender(url);
    const double rawStart = NowMicroseconds();
    int accepted = 0;
    for (const auto& body : bodies) accepted += sender.Post(body).status == 200 ? 1 : 0;
    const double rawSeconds = (NowMicroseconds() - rawStart) / 1e6;
    std::printf("1024 records delivered: %.3f s in %zu requests%s (goal < 2 s); "
                "the same %zu ready bodies posted: %.3f s (%d accepted); ratio %.2f\n",
                seconds, bodies.size(), delivered ? "" : " (FAILED)", bodies.size(), rawSeconds, accepted,
                seconds / rawSeconds);
}

void CompressedShare() {
    StartSdk("http://127.0.0.1:9/");
    // A run's worth of installer records: tasks, clicks and the page view, in batches of 30.
    for (int i = 0; i < 300; ++i) {
        if (i % 10 == 3) {
            PropertiesNode click;
            click.SetString("ql_name", Utils::WideToUtf8(L"立即安装"));
            click.SetString("ql_click_type", "Button");
            click.SetBool("$is_first_time", true);
            click.SetString("qlc_ab", "IN");
            Sdk::Track("QlEventClick", click);
        } else if (i % 10 == 7) {
            PropertiesNode view;
            view.SetString("ql_name", Utils::WideToUtf8(L"安装中"));
            view.SetBool("$is_first_time", true);
            view.SetString("qlc_ab", "IN");
            Sdk::Track("QlEventView", view);
        } else {
            QueueInstallerTask(i);
        }
    }
    const std::vector<std::string> records = Sdk::QueuedRecords();
    Sdk::Shutdown();
    size_t json = 0, compressed = 0, body = 0;
    for (size_t at = 0; at < records.size(); at += 30) {
        const std::vector<std::string> batch(records.begin() + at, records.begin() + std::min(at + 30, records.size()));
        const std::string text = usage_analytics::BuildBatchText(batch);
        std::string gzip, request;
        usage_analytics::GzipCompress(text, &gzip);
        usage_analytics::EncodeBatch(text, &request);
        json += text.size();
        compressed += gzip.size();
        body += request.size();
    }
    std::printf("installer batches: gzip %zu of %zu JSON bytes = %.1f %% (goal < 15 %%); "
                "request bodies (Base64, URL-encoded) %.1f %% of the JSON\n",
                compressed, json, 100.0 * compressed / json, 100.0 * body / json);
}

}  // namespace

int main() {
    const std::string url = Environment("LUMIVOX_COLLECTOR_URL");
    if (url.empty()) {
        std::fprintf(stderr, "run through tools/collector/with_collector.py (bench/analytics/run.sh)\n");
        return 1;
    }
    RecordCost(url + "&tag=bench-records");
    DeliveryTime(url + "&tag=bench-delivery");
    CompressedShare();
    return 0;
}
