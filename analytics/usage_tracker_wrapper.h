// The facade the application holds: it owns one implementation and makes sure no failure
// of a tracking operation reaches the caller. A caught failure is reported with one line,
// "Failed to <operation>", on standard output (only once the implementation has a logger).
#pragma once

#include <memory>

#include "analytics/usage_tracker_impl.h"

namespace quillon {
namespace tracking {

class UsageTrackerWrapper : public UsageTracker {
public:
    explicit UsageTrackerWrapper(std::unique_ptr<UsageTrackerImpl> implementation)
        : m_Implementation(std::move(implementation)) {}

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
    TrackLogger* logger() override { return nullptr; }

    UsageTrackerImpl* implementation() const { return m_Implementation.get(); }

private:
    template <typename Operation>
    void Guarded(const char* name, Operation operation);

    std::unique_ptr<UsageTrackerImpl> m_Implementation;
};

}  // namespace tracking
}  // namespace quillon
