// The installer's reporting operations over the usage tracker. Any thread may call them;
// none waits for the network: each builds one event and queues it. Queued events are sent
// when the tracker is released at exit (StopAnalytics) and, for a crash, at once.
//
// Everything here does nothing while the settings' analytics switch is off; the tracker is
// only created by StartAnalytics when the switch is on at that moment.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "analytics/context_properties.h"
#include "analytics/usage_tracker.h"

using ExperimentValues = std::map<std::wstring, std::wstring>;

// The process-wide tracker handle: a wrapper owning the implementation. Empty until
// StartAnalytics and again after StopAnalytics. Use AnalyticsTrackerReference to read it.
extern std::shared_ptr<quillon::tracking::UsageTracker> analyticsTracker;
// A reference of one's own, so that a concurrent StopAnalytics cannot destroy the tracker
// while it is in use.
std::shared_ptr<quillon::tracking::UsageTracker> AnalyticsTrackerReference();

// Creates the tracker from the settings (after the single-instance guard, before the
// command line). The collector is the built-in one unless the environment variable
// LUMIVOX_STATS_URL names another (for local runs against a test collector).
void StartAnalytics();
// Releases the tracker; its teardown delivers what is queued (blocking, up to three
// attempts) and stages the rest. Must run before curl_global_cleanup.
void StopAnalytics();

void ReportTask(const std::wstring& taskName, const std::wstring& reason, ExperimentValues experimentValues,
                float elapsedSeconds);
void ReportClick(ExperimentValues experimentValues, const std::wstring& buttonName);
void ReportPageView(ExperimentValues experimentValues);
void ReportCrash();

// Sets the "AB" value of `experimentValues` as "qlc_ab" for each event type, when present
// and not empty. Raises QlException for a malformed value.
void ApplyExperimentValue(const ExperimentValues& experimentValues,
                          const std::vector<quillon::tracking::QlEventType>& eventTypes,
                          quillon::tracking::QlContextProperties& context);
