#include "analytics/installer_reporting.h"

#include "utils/debug_trace.h"

// Until the tracker exists, reports are only traced.

void StartAnalytics() {}
void StopAnalytics() {}

void ReportTask(const std::wstring& taskName, const std::wstring& reason, ExperimentValues, float elapsedSeconds) {
    Utils::TraceAt(L"ReportTask", 1, L"task=%s reason=%s elapsed=%g", taskName.c_str(), reason.c_str(),
                   static_cast<double>(elapsedSeconds));
}

void ReportClick(ExperimentValues, const std::wstring& buttonName) {
    Utils::TraceAt(L"ReportClick", 1, L"button=%s", buttonName.c_str());
}

void ReportPageView(ExperimentValues) { Utils::TraceAt(L"ReportPageView", 1, L"view"); }

void ReportCrash() { Utils::TraceAt(L"ReportCrash", 1, L"crash"); }
