#include "analytics/usage_tracker_wrapper.h"

#include "analytics/sdk/console_messages.h"

namespace quillon {
namespace tracking {

template <typename Operation>
void UsageTrackerWrapper::Guarded(const char* name, Operation operation) {
    if (!m_Implementation) return;
    try {
        operation(*m_Implementation);
    } catch (...) {
        if (m_Implementation->logger() != nullptr) usage_analytics::WriteOutput(std::string("Failed to ") + name + "\n");
    }
}

void UsageTrackerWrapper::trackActivity(const QlContextProperties& context) {
    Guarded("trackActivity", [&](UsageTrackerImpl& t) { t.trackActivity(context); });
}

void UsageTrackerWrapper::trackLaunch(const QlContextProperties& context) {
    Guarded("trackLaunch", [&](UsageTrackerImpl& t) { t.trackLaunch(context); });
}

void UsageTrackerWrapper::trackLogin(const QlLoginUser& user, bool success, const std::string& reason,
                                     const QlContextProperties& context) {
    Guarded("trackLogin", [&](UsageTrackerImpl& t) { t.trackLogin(user, success, reason, context); });
}

void UsageTrackerWrapper::trackClick(const QlEventClick& event, const QlContextProperties& context) {
    Guarded("trackClick", [&](UsageTrackerImpl& t) { t.trackClick(event, context); });
}

void UsageTrackerWrapper::trackView(const QlEventView& event, const QlContextProperties& context) {
    Guarded("trackView", [&](UsageTrackerImpl& t) { t.trackView(event, context); });
}

void UsageTrackerWrapper::trackCashier(const QlEventCashier& event, const QlContextProperties& context) {
    Guarded("trackCashier", [&](UsageTrackerImpl& t) { t.trackCashier(event, context); });
}

void UsageTrackerWrapper::trackShare(const QlEventShare& event, const QlContextProperties& context) {
    Guarded("trackShare", [&](UsageTrackerImpl& t) { t.trackShare(event, context); });
}

void UsageTrackerWrapper::trackTask(const QlEventTask& event, const QlContextProperties& context) {
    Guarded("trackTask", [&](UsageTrackerImpl& t) { t.trackTask(event, context); });
}

void UsageTrackerWrapper::trackFile(const QlEventFile& event, const QlContextProperties& context) {
    Guarded("trackFile", [&](UsageTrackerImpl& t) { t.trackFile(event, context); });
}

void UsageTrackerWrapper::trackOrder(const QlEventOrder& event, const QlContextProperties& context) {
    Guarded("trackOrder", [&](UsageTrackerImpl& t) { t.trackOrder(event, context); });
}

void UsageTrackerWrapper::trackPayment(const QlEventPayment& event, const QlContextProperties& context) {
    Guarded("trackPayment", [&](UsageTrackerImpl& t) { t.trackPayment(event, context); });
}

void UsageTrackerWrapper::trackUninstall(const std::string& reason, const QlContextProperties& context) {
    Guarded("trackUninstall", [&](UsageTrackerImpl& t) { t.trackUninstall(reason, context); });
}

void UsageTrackerWrapper::trackCrash(const std::string& reason) {
    Guarded("trackCrash", [&](UsageTrackerImpl& t) { t.trackCrash(reason); });
}

void UsageTrackerWrapper::trackUpdate(const QlEventUpdate& event, const QlContextProperties& context) {
    Guarded("trackUpdate", [&](UsageTrackerImpl& t) { t.trackUpdate(event, context); });
}

void UsageTrackerWrapper::trackAppOpenNotification(const QlAppOpenNotification* notification,
                                                   const QlContextProperties& context) {
    Guarded("trackAppOpenNotification", [&](UsageTrackerImpl& t) { t.trackAppOpenNotification(notification, context); });
}

void UsageTrackerWrapper::setLocale(const std::string& locale) {
    if (m_Implementation) m_Implementation->setLocale(locale);
}

std::string UsageTrackerWrapper::primaryDistinctId() {
    return m_Implementation ? m_Implementation->primaryDistinctId() : std::string();
}

}  // namespace tracking
}  // namespace quillon
