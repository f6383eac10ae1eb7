#include "analytics/product_analytics_keys.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>

namespace quillon {
namespace tracking {

namespace {

bool FolderExists(const std::wstring& folder) {
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool EnsureFolder(const std::wstring& folder) {
    if (FolderExists(folder)) return true;
    const int result = ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return (result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS) && FolderExists(folder);
}

}  // namespace

std::wstring ProductAnalyticsFolder(const std::wstring& productId) {
    wchar_t base[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"APPDATA", base, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        base[0] = L'\0';
        ::SHGetSpecialFolderPathW(nullptr, base, CSIDL_COMMON_DOCUMENTS, FALSE);
    }
    return std::wstring(base) + L"\\QuillonData\\" + productId;
}

std::wstring FormatUpdateTime(int year, int month, int day, int hour, int minute, int second) {
    wchar_t text[128] = {};
    std::swprintf(text, 128, L"%d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
    return text;
}

void WriteProductAnalyticsKeys(const std::wstring& installFolder, const std::wstring& installerFileName,
                               const std::wstring& productId, const std::wstring& deviceId) {
    const std::wstring setIni = installFolder + L"\\set.ini";
    ::WritePrivateProfileStringW(L"Install", L"APPStore", installerFileName.c_str(), setIni.c_str());
    ::WritePrivateProfileStringW(L"Install", L"AppName", productId.c_str(), setIni.c_str());
    ::WritePrivateProfileStringW(L"Install", L"DeviceID", deviceId.c_str(), setIni.c_str());

    const std::wstring analyticsFolder = ProductAnalyticsFolder(productId);
    if (!EnsureFolder(analyticsFolder)) return;
    const std::wstring analyticsIni = analyticsFolder + L"\\QLAnalytics.ini";
    ::WritePrivateProfileStringW(L"Install", L"QLAnalyticsIni", analyticsIni.c_str(), setIni.c_str());
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const std::wstring stamp = FormatUpdateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    ::WritePrivateProfileStringW(L"Init", L"UpdateTime", stamp.c_str(), analyticsIni.c_str());
}

}  // namespace tracking
}  // namespace quillon
