// The tracker that does the work. `init` establishes the identity, registers the preset
// properties and starts the SDK core; the destructor waits (bounded) for delivery threads,
// saves the identity, delivers what is pending and shuts the SDK down, which stages what is
// left for the next run. Operations raise QlException for a record that fails its checks.
//
// Only one tracker may be initialised per process at a time (the SDK core is a singleton).
// The identity record is written without a lock by trackLogin, trackPayment and the
// destructor; callers serialise those.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "analytics/analytics_identity.h"
#include "analytics/analytics_paths.h"
#include "analytics/delivery_requests.h"
#include "analytics/usage_tracker.h"

namespace quillon {
namespace tracking {

// The collector address used when the configuration names none.
std::string BuiltInCollectorUrl();

// The properties of a Task event (the installer's most frequent one); raises QlException
// for a task without name.
usage_analytics::PropertiesNode TaskProperties(const QlEventTask& event, const QlContextProperties& context);

// What one tracker knows between its operations.
struct TrackerContext {
    IdentityRecord identity;
    AnalyticsPaths paths;
    std::string logFilePath;
    std::string stagingFilePath;
    std::string localeOverride;
    DeliveryRequests delivery;  // owns the pending counter
};

class UsageTrackerImpl : public UsageTracker {
public:
    explicit UsageTrackerImpl(const TrackerConfig& config);
    ~UsageTrackerImpl() override;

    UsageTrackerImpl(const UsageTrackerImpl&) = delete;
    UsageTrackerImpl& operator=(const UsageTrackerImpl&) = delete;

    // Once, before any operation. Raises QlException when the configuration lacks a name,
    // version or store, or the SDK refuses the identity; the tracker then sends nothing.
    void init(void* reserved = nullptr);

    void trackActivity(const QlContextProperties& context) override;
    void trackLaunch(const QlContextProperties& context) override;
    void trackLogin(const QlLoginUser& user, bool success, const std::string& reason,
                    const QlContextProperties& context) override;
    void trackClick(const QlEventClick& event, const QlContextProperties& context) override;
    void trackView(const QlEventView& event, const QlContextProperties& context) override;
    void trackCashier(const QlEventCashier& event, const QlContextProperties& context) override;
    void trackShare(const QlEventShare& event, const QlContextProperties& context) override;
    void trackTask(const QlEventTask& event, const QlContextProperties& context) override;
    void trackFile(const QlEventFile& event, const QlContextProperties& context) override;
    void trackOrder(const QlEventOrder& event, const QlContextProperties& context) override;
    void trackPayment(const QlEventPayment& event, const QlContextProperties& context) override;
    void trackUninstall(const std::string& reason, const QlContextProperties& context) override;
    void trackCrash(const std::string& reason) override;
    void trackUpdate(const QlEventUpdate& event, const QlContextProperties& context) override;
    void trackAppOpenNotification(const QlAppOpenNotification* notification,
                                  const QlContextProperties& context) override;
    void setLocale(const std::string& locale) override;
    std::string primaryDistinctId() override;
    TrackLogger* logger() override { return m_Logger.get(); }

    // Waits for delivery requests running on their own threads, at most `bound`.
    bool waitForDeliveries(std::chrono::milliseconds bound) const;

    const std::string& collectorUrl() const { return m_CollectorUrl; }
    const TrackerContext& context() const { return m_Context; }

private:
    void Ordinary(bool countFirst);
    void Immediate();

    std::string m_AppName;
    std::string m_AppVersion;
    std::string m_AppStore;
    std::string m_DlAppId;
    std::string m_DlAppVersion;
    std::string m_Edition;
    int32_t m_EditionValue;
    std::string m_ServerUrl;
    std::string m_CollectorUrl;
    std::unique_ptr<NativeTrackLogger> m_Logger;
    TrackerContext m_Context;
};

}  // namespace tracking
}  // namespace quillon
