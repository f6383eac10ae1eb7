// The tracker interface: one operation per kind of user-visible event. Each checks its
// record, turns it into properties with fixed names, adds the context's properties for its
// event type and queues one "track" record; then it asks for delivery. Any thread may call.
#pragma once

#include <string>

#include "analytics/context_properties.h"
#include "analytics/track_logger.h"
#include "analytics/tracker_types.h"

namespace quillon {
namespace tracking {

class UsageTracker {
public:
    virtual ~UsageTracker() = default;

    virtual void trackActivity(const QlContextProperties& context) = 0;
    virtual void trackLaunch(const QlContextProperties& context) = 0;
    virtual void trackLogin(const QlLoginUser& user, bool success, const std::string& reason,
                            const QlContextProperties& context) = 0;
    virtual void trackClick(const QlEventClick& event, const QlContextProperties& context) = 0;
    virtual void trackView(const QlEventView& event, const QlContextProperties& context) = 0;
    virtual void trackCashier(const QlEventCashier& event, const QlContextProperties& context) = 0;
    virtual void trackShare(const QlEventShare& event, const QlContextProperties& context) = 0;
    virtual void trackTask(const QlEventTask& event, const QlContextProperties& context) = 0;
    virtual void trackFile(const QlEventFile& event, const QlContextProperties& context) = 0;
    virtual void trackOrder(const QlEventOrder& event, const QlContextProperties& context) = 0;
    virtual void trackPayment(const QlEventPayment& event, const QlContextProperties& context) = 0;
    virtual void trackUninstall(const std::string& reason, const QlContextProperties& context) = 0;
    virtual void trackCrash(const std::string& reason) = 0;
    virtual void trackUpdate(const QlEventUpdate& event, const QlContextProperties& context) = 0;
    virtual void trackAppOpenNotification(const QlAppOpenNotification* notification,
                                          const QlContextProperties& context) = 0;
    virtual void setLocale(const std::string& locale) = 0;
    virtual std::string primaryDistinctId() = 0;
    virtual TrackLogger* logger() = 0;
};

}  // namespace tracking
}  // namespace quillon
