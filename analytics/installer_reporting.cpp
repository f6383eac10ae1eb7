#include "analytics/installer_reporting.h"

#include <windows.h>

#include <mutex>

#include "analytics/ql_exception.h"
#include "analytics/sdk/no_destructor.h"
#include "analytics/usage_tracker_wrapper.h"
#include "app/installer_settings.h"
#include "utils/debug_trace.h"
#include "utils/text_convert.h"

using quillon::tracking::QlContextProperties;
using quillon::tracking::QlEventType;
using quillon::tracking::UsageTracker;

std::shared_ptr<UsageTracker> analyticsTracker;

namespace {

constexpr wchar_t kInstallingPageName[] = L"安装中";
constexpr wchar_t kCrashReason[] = L"崩溃";
constexpr wchar_t kCollectorOverrideVariable[] = L"LUMIVOX_STATS_URL";

std::mutex& TrackerLock() {
    static usage_analytics::NoDestructor<std::mutex> lock;
    return *lock;
}

bool AnalyticsEnabled() { return g_InstallerSettings.m_IsEnableAppAnalytics; }

std::string CollectorOverride() {
    wchar_t url[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(kCollectorOverrideVariable, url, 1024);
    return length > 0 && length < 1024 ? Utils::WideToUtf8(url) : std::string();
}

quillon::tracking::TrackerConfig ConfigFromSettings() {
    const InstallerSettings& s = g_InstallerSettings;
    quillon::tracking::TrackerConfig config;
    config.appName = Utils::WideToUtf8(s.m_ProductId + s.m_DlAppNameSuffix);
    config.appVersion = Utils::WideToUtf8(s.m_Version);
    config.appStore = Utils::WideToUtf8(s.m_FileName);
    config.dlAppId = Utils::WideToUtf8(s.m_ProductId);
    config.dlAppVersion = Utils::WideToUtf8(s.m_DlAppVersion);
    config.edition = 0;
    config.serverUrl = CollectorOverride();
    return config;
}

// The tracker for one report, or null when reports are off.
std::shared_ptr<UsageTracker> ReportingTracker() {
    if (!AnalyticsEnabled()) return nullptr;
    return AnalyticsTrackerReference();
}

// A fresh context with the experiment value for `eventType`. A malformed value is left out
// and the event is still reported: losing the event would cost more than its group.
QlContextProperties ExperimentContext(const ExperimentValues& experimentValues, QlEventType eventType) {
    QlContextProperties context;
    try {
        ApplyExperimentValue(experimentValues, {eventType}, context);
    } catch (const quillon::tracking::QlException& error) {
        Utils::TraceAt(L"ExperimentContext", 60, L"experiment value left out: %s",
                       Utils::Utf8ToWide(error.what()).c_str());
    }
    return context;
}

}  // namespace

std::shared_ptr<UsageTracker> AnalyticsTrackerReference() {
    std::lock_guard<std::mutex> guard(TrackerLock());
    return analyticsTracker;
}

void StartAnalytics() {
    // One tracker per process: the SDK core under it is a process-wide singleton.
    if (!AnalyticsEnabled() || AnalyticsTrackerReference() != nullptr) return;
    auto implementation = std::make_unique<quillon::tracking::UsageTrackerImpl>(ConfigFromSettings());
    try {
        implementation->init();
    } catch (const std::exception& error) {
        // The tracker stays in use: it accepts every report and sends nothing.
        Utils::TraceAt(L"StartAnalytics", 40, L"tracker not initialised: %s", Utils::Utf8ToWide(error.what()).c_str());
    }
    auto wrapper = std::make_shared<quillon::tracking::UsageTrackerWrapper>(std::move(implementation));
    std::lock_guard<std::mutex> guard(TrackerLock());
    analyticsTracker = std::move(wrapper);
}

void StopAnalytics() {
    std::shared_ptr<UsageTracker> released;
    {
        std::lock_guard<std::mutex> guard(TrackerLock());
        released.swap(analyticsTracker);
    }
    // The last reference, usually this one, tears the tracker down here, outside the lock.
}

void ApplyExperimentValue(const ExperimentValues& experimentValues, const std::vector<QlEventType>& eventTypes,
                          QlContextProperties& context) {
    const auto found = experimentValues.find(L"AB");
    if (found == experimentValues.end()) return;
    const std::string value = Utils::WideToUtf8(found->second);
    if (!QlContextProperties::isValidABValue(value)) return;
    context.setProperty(eventTypes, value);
}

void ReportTask(const std::wstring& taskName, const std::wstring& reason, ExperimentValues experimentValues,
                float elapsedSeconds) {
    const auto tracker = ReportingTracker();
    if (!tracker) return;
    const QlContextProperties context = ExperimentContext(experimentValues, QlEventType::Task);
    quillon::tracking::QlEventTask event;
    event.name = Utils::WideToUtf8(taskName);
    event.reason = Utils::WideToUtf8(reason);
    event.elapsed = elapsedSeconds;
    event.result = quillon::tracking::QlResult::Success;
    tracker->trackTask(event, context);
}

void ReportClick(ExperimentValues experimentValues, const std::wstring& buttonName) {
    const auto tracker = ReportingTracker();
    if (!tracker) return;
    const QlContextProperties context = ExperimentContext(experimentValues, QlEventType::Click);
    quillon::tracking::QlEventClick event;
    event.name = Utils::WideToUtf8(buttonName);
    event.clickType = quillon::tracking::ClickType::Button;
    tracker->trackClick(event, context);
}

void ReportPageView(ExperimentValues experimentValues) {
    const auto tracker = ReportingTracker();
    if (!tracker) return;
    const QlContextProperties context = ExperimentContext(experimentValues, QlEventType::View);
    quillon::tracking::QlEventView event;
    event.name = Utils::WideToUtf8(kInstallingPageName);
    tracker->trackView(event, context);
}

void ReportCrash() {
    const auto tracker = ReportingTracker();
    if (!tracker) return;
    tracker->trackCrash(Utils::WideToUtf8(kCrashReason));
}
