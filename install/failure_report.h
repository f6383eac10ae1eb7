// Diagnostic texts for failed downloads and installs, sent as analytics task events on the
// window thread. Nothing here is shown to the user, and a report never fails the installer.
#pragma once

#include <string>

constexpr size_t kFailureReasonCapacity = 200;  // characters, terminator included

// "1.code=%ld；2.msg=%s；3.缓存磁盘容量=%.2fG；4.缓存读写权限=%s；5.服务器连接状态code=%d",
// cut to fit its buffer.
std::wstring FormatDownloadFailureReason(double code, const std::wstring& text, double freeGigabytes, bool writable,
                                         unsigned int connectivity);
// ":1.code=%ld；2.msg=%s", cut to fit its buffer.
std::wstring FormatShortFailureReason(double code, const std::wstring& text);

// Whether the installer may write the package file: an existing file must be deletable and
// the file must be creatable; leaves no file behind.
bool CanWritePackageFile(const std::wstring& packagePath);
// Free bytes available to the user on the drive of `path`, in units of 2^30; 0 when unknown.
double FreeGigabytesOnDriveOf(const std::wstring& path);

// Gathers the facts about the package path and reports "下载失败原因" (after DL_CODE_FAIL).
void ReportDownloadFailure(const std::wstring& packagePath, double progress, const std::wstring& text);
// Reports "安装失败原因" when `installFailure`, else "下载失败原因".
void ReportShortFailure(double progress, const std::wstring& text, bool installFailure);
