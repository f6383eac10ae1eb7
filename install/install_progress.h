// The installing page's one progress bar, as plain arithmetic: the download fills the first
// share s (the settings' download scale) of the bar and running the package the rest. The
// package rarely reports progress, so every install event moves an estimate on by 0.15,
// up to 0.95, and a larger reported progress takes over.
#pragma once

#include <string>

// The bar, 0 to 100, for a download progress fraction p: p × s × 100, truncated.
int DownloadProgressPercent(double progress, double downloadScale);

class InstallProgressEstimate {
public:
    // One install progress event with the package's reported fraction; returns the bar,
    // ((1 − s) × v + s) × 100 truncated, for the new estimate v.
    int OnInstallProgress(double reported, double downloadScale);
    double Estimate() const { return m_Estimate; }

private:
    double m_Estimate = 0.0;
};

// The wording beside the bar while installing, a format for the percentage: a patient one
// once more than 60 seconds have passed since the download began.
const wchar_t* InstallingTextFormat(double secondsSinceDownloadStart);

// Puts the percentage into a format: every "%d" becomes the number and "%%" a percent sign;
// nothing else is interpreted, so a format from a layout file cannot misuse the formatter.
std::wstring FormatProgressText(const std::wstring& format, int percent);
