// The installer's reporting operations. Any thread may call them; none waits for the network.
#pragma once

#include <map>
#include <string>

using ExperimentValues = std::map<std::wstring, std::wstring>;

void StartAnalytics();
void StopAnalytics();

void ReportTask(const std::wstring& taskName, const std::wstring& reason, ExperimentValues experimentValues,
                float elapsedSeconds);
void ReportClick(ExperimentValues experimentValues, const std::wstring& buttonName);
void ReportPageView(ExperimentValues experimentValues);
void ReportCrash();
