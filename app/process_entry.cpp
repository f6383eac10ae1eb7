#include "app/process_entry.h"

#include <curl/curl.h>

#include <memory>
#include <string>

#include "app/installer_settings.h"
#include "analytics/installer_reporting.h"
#include "app/trace_file_sink.h"
#include "download/downloader.h"
#include "ui/main_wnd.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/skin_frame.h"
#include "ui/wnd_shadow.h"
#include "utils/debug_trace.h"

const wchar_t kSingleInstanceMutexName[] = L"D1A547DB89C0BC61_Installer_lumivoxApp";

namespace {

constexpr wchar_t kPreloadedLibraries[][24] = {L"version.dll", L"ws2_32.dll",  L"sxs.dll",
                                                L"dwmapi.dll",  L"msimg32.dll", L"d3d8.dll",
                                                L"ieframe.dll", L"ws2help.dll", L"WindowsCodecs.dll"};

void TraceSettings(const InstallerSettings& s) {
    Utils::TraceAt(L"RunInstaller", 60,
                   L"settings url=%s type=%d checknet=%d analytics=%d scale=%g language=%d insnew=%d instcmd=%s",
                   s.m_DownloadUrl.c_str(), s.m_DownloadType, s.m_IsCheckNet ? 1 : 0, s.m_IsEnableAppAnalytics ? 1 : 0,
                   s.m_DownloadScale, s.m_Language, s.m_InsNew ? 1 : 0, s.m_InstCmd.c_str());
}

}  // namespace

void HardenDllSearchPath() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories != nullptr) setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

    ::SetDllDirectoryW(L"");

    wchar_t systemFolder[MAX_PATH] = {};
    if (::GetSystemDirectoryW(systemFolder, MAX_PATH) == 0) return;
    for (const wchar_t* library : kPreloadedLibraries) {
        const std::wstring path = std::wstring(systemFolder) + L"\\" + library;
        // Kept loaded for the life of the process; a library the system lacks is skipped.
        ::LoadLibraryW(path.c_str());
    }
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS*) {
    ReportTask(L"崩溃退出", L"", {{L"AB", g_InstallerSettings.m_AbValue}}, 0.0f);
    ReportCrash();
    return EXCEPTION_CONTINUE_SEARCH;
}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (m_Mutex == nullptr) return;
    ::ReleaseMutex(m_Mutex);
    ::CloseHandle(m_Mutex);
}

bool SingleInstanceGuard::Acquire() {
    m_Mutex = ::CreateMutexW(nullptr, TRUE, kSingleInstanceMutexName);
    const DWORD error = ::GetLastError();
    if (m_Mutex != nullptr && error != ERROR_ALREADY_EXISTS) return true;
    if (m_Mutex != nullptr) ::CloseHandle(m_Mutex);
    m_Mutex = nullptr;
    return false;
}

int RunInstaller(HINSTANCE instance) {
    InstallTraceFileSinkFromEnvironment();
    HardenDllSearchPath();
    ::SetUnhandledExceptionFilter(&CrashFilter);

    if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK) {
        g_InstallerSettings.m_NetworkReady = false;
        ReportTask(L"libcurl初始化失败", L"", {{L"AB", g_InstallerSettings.m_AbValue}}, 0.0f);
    }

    SingleInstanceGuard singleInstance;
    if (!singleInstance.Acquire()) {
        Utils::TraceAt(L"RunInstaller", 55, L"another installer is running");
        return -1;
    }

    StartAnalytics();
    ApplyCommandLine();
    TraceSettings(g_InstallerSettings);

    SkinUI::CPaintManagerUI::SetInstance(instance);
    CWndShadow::Initialize(instance);
    SkinUI::CSkinFrame::SetShadowFactory(&CreateFrameShadow);

    auto window = std::make_unique<CMainWnd>(DownloaderFactory(&CreateProductDownloader));
    if (window->Create(nullptr, kProductDisplayName, WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                       CW_USEDEFAULT, CW_USEDEFAULT) != nullptr) {
        window->CenterWindow();
        window->ShowModal();
    }

    if (g_InstallerSettings.m_IsEnableAppAnalytics) StopAnalytics();
    curl_global_cleanup();
    // Destroying the window object also ends the pipeline, which waits for a running
    // package or uninstaller.
    window.reset();
    Utils::TraceAt(L"RunInstaller", 90, L"exit 0");
    return 0;
}
