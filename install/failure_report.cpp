#include "install/failure_report.h"

#include <objbase.h>
#include <windows.h>

#include <cwchar>

#include "analytics/installer_reporting.h"
#include "app/installer_settings.h"
#include "utils/hard_disk_manager.h"
#include "utils/network_check.h"
#include "utils/win_handle.h"

namespace {

// Formats into the report's fixed buffer; a text too long for it is cut, never overrun.
template <typename... Args>
std::wstring FormatBounded(const wchar_t* format, Args... arguments) {
    wchar_t buffer[kFailureReasonCapacity] = {};
    ::_snwprintf(buffer, kFailureReasonCapacity - 1, format, arguments...);
    buffer[kFailureReasonCapacity - 1] = L'\0';
    return buffer;
}

long TruncatedCode(double code) { return static_cast<long>(code); }

ExperimentValues WindowExperimentValues() { return {{L"AB", g_InstallerSettings.m_AbValue}}; }

uint32_t ConnectivityWithCom() {
    const HRESULT initialised = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const uint32_t value = Utils::CheckNetwork();
    if (SUCCEEDED(initialised)) ::CoUninitialize();
    return value;
}

}  // namespace

std::wstring FormatDownloadFailureReason(double code, const std::wstring& text, double freeGigabytes, bool writable,
                                         unsigned int connectivity) {
    return FormatBounded(L"1.code=%ld；2.msg=%s；3.缓存磁盘容量=%.2fG；"
                         L"4.缓存读写权限=%s；5.服务器连接状态code=%d",
                         TruncatedCode(code), text.c_str(), freeGigabytes, writable ? L"可读" : L"无权限",
                         static_cast<int>(connectivity));
}

std::wstring FormatShortFailureReason(double code, const std::wstring& text) {
    return FormatBounded(L":1.code=%ld；2.msg=%s", TruncatedCode(code), text.c_str());
}

bool CanWritePackageFile(const std::wstring& packagePath) {
    if (::GetFileAttributesW(packagePath.c_str()) != INVALID_FILE_ATTRIBUTES && !::DeleteFileW(packagePath.c_str())) {
        return false;
    }
    Utils::UniqueHandle file(::CreateFileW(packagePath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    file.reset();
    ::DeleteFileW(packagePath.c_str());
    return true;
}

double FreeGigabytesOnDriveOf(const std::wstring& path) {
    Utils::HardDiskManager disk;
    disk.CheckFreeSpace(path.substr(0, 2));
    return static_cast<double>(disk.freeBytesAvailable) / 1073741824.0;
}

void ReportDownloadFailure(const std::wstring& packagePath, double progress, const std::wstring& text) {
    const uint32_t connectivity = ConnectivityWithCom();
    const bool writable = CanWritePackageFile(packagePath);
    const double freeGigabytes = FreeGigabytesOnDriveOf(packagePath);
    ReportTask(L"下载失败原因",
               FormatDownloadFailureReason(progress, text, freeGigabytes, writable, connectivity),
               WindowExperimentValues(), 0.0f);
}

void ReportShortFailure(double progress, const std::wstring& text, bool installFailure) {
    ReportTask(installFailure ? L"安装失败原因" : L"下载失败原因",
               FormatShortFailureReason(progress, text), WindowExperimentValues(), 0.0f);
}
