#include "install/install_progress.h"

namespace {

constexpr double kEstimateStep = 0.15;
constexpr double kEstimateCeiling = 0.95;
constexpr double kPatientWordingAfterSeconds = 60.0;

}  // namespace

int DownloadProgressPercent(double progress, double downloadScale) {
    return static_cast<int>(progress * downloadScale * 100.0);
}

int InstallProgressEstimate::OnInstallProgress(double reported, double downloadScale) {
    m_Estimate += kEstimateStep;
    if (m_Estimate > kEstimateCeiling) m_Estimate = kEstimateCeiling;
    if (reported > m_Estimate) m_Estimate = reported;
    return static_cast<int>(((1.0 - downloadScale) * m_Estimate + downloadScale) * 100.0);
}

const wchar_t* InstallingTextFormat(double secondsSinceDownloadStart) {
    return secondsSinceDownloadStart <= kPatientWordingAfterSeconds ? L"正在安装中:%d%%，请稍候..."
                                                                     : L"正在安装中:%d%%，请耐心等待...";
}

std::wstring FormatProgressText(const std::wstring& format, int percent) {
    std::wstring text;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == L'%' && i + 1 < format.size() && format[i + 1] == L'd') {
            text += std::to_wstring(percent);
            ++i;
        } else if (format[i] == L'%' && i + 1 < format.size() && format[i + 1] == L'%') {
            text += L'%';
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}
