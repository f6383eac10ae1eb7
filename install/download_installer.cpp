#include "install/download_installer.h"

#include "app/installer_settings.h"
#include "utils/debug_trace.h"
#include "utils/folder_helpers.h"
#include "utils/process_lookup.h"

namespace {

constexpr wchar_t kDownloadHandler[] = L"CDownloadInstaller::Start::DownloadHandler";
constexpr wchar_t kUninstallHandler[] = L"CDownloadInstaller::Start::UninstallHandler";
constexpr wchar_t kInstallHandler[] = L"CDownloadInstaller::Start::InstallHandler";
constexpr wchar_t kProductExeName[] = L"lumivoxApp.exe";

// The package path of the last attempt that ended; only attempt ends touch it, and attempts
// follow one another.
std::wstring s_LastPackagePath;

bool FileExists(const std::wstring& path) {
    return !path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

}  // namespace

std::unique_ptr<CDownloader> CreateProductDownloader(int downloadType, const DownloadCallback& callback,
                                                     const std::wstring& url, const std::wstring& savePath) {
    DownloadOptions options;
    options.networkReady = g_InstallerSettings.m_NetworkReady;
    return CreateDownloader(downloadType, callback, url, savePath, options);
}

std::wstring PackagePathFor(const std::wstring& installDir) {
    return installDir + L"\\__Package_" + L"lumivoxApp" + L".exe";
}

std::wstring UninstallerCopyPathIn(const std::wstring& workTempFolder) {
    if (workTempFolder.empty()) return std::wstring();
    // The folder ends with a backslash already; the doubled separator is accepted.
    return workTempFolder + L"\\lumivoxApp_un_asa.exe";
}

CDownloadInstaller::CDownloadInstaller(InstallerCallback callback, std::wstring url, std::wstring uninstallerPath,
                                       std::wstring installDir, bool dsc, bool ssc, bool adminAct,
                                       DownloaderFactory createDownloader)
    : m_Url(std::move(url)),
      m_UninstallerPath(std::move(uninstallerPath)),
      m_InstallDir(std::move(installDir)),
      m_Dsc(dsc),
      m_Ssc(ssc),
      m_AdminAct(adminAct),
      m_Callback(std::move(callback)),
      m_CreateDownloader(std::move(createDownloader)) {}

CDownloadInstaller::~CDownloadInstaller() {
    {
        std::lock_guard<std::mutex> hold(m_PhaseLock);
        m_Stopping = true;
    }
    // Each waits for its workers; the package runner and the uninstaller wait for their
    // programs to end.
    m_Downloader.reset();
    m_Installer.reset();
    m_UnInstaller.reset();
}

std::wstring CDownloadInstaller::LastPackagePath() { return s_LastPackagePath; }

void CDownloadInstaller::SetParams(const std::wstring& url, const std::wstring& uninstallerPath,
                                   const std::wstring& installDir, bool dsc, bool ssc, bool adminAct,
                                   bool authorizationAct, const std::wstring& insLang) {
    m_Url = url;
    m_UninstallerPath = uninstallerPath;
    m_InstallDir = installDir;
    m_Dsc = dsc;
    m_Ssc = ssc;
    m_AdminAct = adminAct;
    m_AuthorizationAct = authorizationAct;
    m_InsLang = insLang;
}

void CDownloadInstaller::Start() {
    m_PackagePath = PackagePathFor(m_InstallDir);
    Utils::TraceExactAt(L"CDownloadInstaller::Start", 189, L"DL_TYPE=%d\r\n", g_InstallerSettings.m_DownloadType);

    if (!m_Downloader) {
        m_Downloader = m_CreateDownloader(
            g_InstallerSettings.m_DownloadType,
            [this](int code, double value, const std::wstring& text) { OnDownloadEvent(code, value, text); }, m_Url,
            m_PackagePath);
    }
    if (!m_Installer) {
        m_Installer = std::make_unique<CInstaller>(
            [this](int code, double progress, const wchar_t* text) { OnInstallEvent(code, progress, text); },
            L"\"" + m_PackagePath + L"\"", m_InstallDir);
        m_RunnerPackagePath = m_PackagePath;
        m_Installer->SetPackageEndedHandler([this] { OnPackageEnded(); });
    }
    m_Installer->m_InstallDir = m_InstallDir;
    m_Installer->m_Dsc = m_Dsc;
    m_Installer->m_Ssc = m_Ssc;
    m_Installer->m_AdminAct = m_AdminAct;
    m_Installer->m_AuthorizationAct = m_AuthorizationAct;
    m_Installer->m_InsLang = m_InsLang;

    if (FileExists(m_UninstallerPath)) {
        // The uninstaller runs from a copy, since it removes its own folder.
        const std::wstring copyPath = UninstallerCopyPathIn(Utils::GetWorkTempFolder());
        if (!copyPath.empty()) ::CopyFileW(m_UninstallerPath.c_str(), copyPath.c_str(), FALSE);
        // Replacing an earlier one waits for its worker, which has ended with its attempt.
        m_UnInstaller = std::make_unique<UnInstaller>(
            [this](int code, double progress, const wchar_t* text) { OnUninstallEvent(code, progress, text); },
            copyPath, FolderOf(m_UninstallerPath));
        if (g_InstallerSettings.m_InsNew) WaitForRunningProduct();
        m_UnInstaller->Start();  // the download follows its success
    } else if (m_Downloader) {
        m_Downloader->Start();
    }
}

// The product that started this installer for an update is expected to exit on its own; a
// product that does not must not freeze the window, so the wait is bounded and the
// uninstall then goes ahead (and reports its own failure if the product is in the way).
void CDownloadInstaller::WaitForRunningProduct() const {
    const DWORD started = ::GetTickCount();
    while (Utils::FindProcessByName(kProductExeName) != 0) {
        if (::GetTickCount() - started >= m_RunningProductWaitLimitMs) {
            Utils::TraceAt(L"CDownloadInstaller::Start", 196, L"the running product did not exit within %lu ms",
                           static_cast<unsigned long>(m_RunningProductWaitLimitMs));
            return;
        }
        ::Sleep(100);
    }
}

void CDownloadInstaller::RemovePackageFiles() {
    ::DeleteFileW(m_PackagePath.c_str());
    if (!s_LastPackagePath.empty()) ::DeleteFileW(s_LastPackagePath.c_str());
    s_LastPackagePath = m_PackagePath;
}

// The package may still run when it reports its final state, and a running program's file
// cannot be deleted; what the attempt's end could not delete goes once the package has ended.
void CDownloadInstaller::OnPackageEnded() {
    if (!m_PackageDeletionPending) return;
    m_PackageDeletionPending = false;
    ::DeleteFileW(m_RunnerPackagePath.c_str());
}

void CDownloadInstaller::OnDownloadEvent(int code, double value, const std::wstring& text) {
    m_Callback(code, value, text.c_str());
    switch (code) {
    case DL_CODE_START:
        Utils::TraceExactAt(kDownloadHandler, 74, L"DL_CODE_START\r\n");
        Utils::CreateDirectoryTree(m_InstallDir);  // a failure shows in the download
        break;
    case DL_CODE_PROGRESS:
        Utils::TraceExactAt(kDownloadHandler, 79, L"DL_CODE_PROGRESS\r\n");
        break;
    case DL_CODE_SUCCESS: {
        Utils::TraceExactAt(kDownloadHandler, 84, L"DOWNLOAD_SUCCESS\r\n");
        {
            std::lock_guard<std::mutex> hold(m_PhaseLock);
            if (!m_Stopping && m_Installer) m_Installer->Start();
        }
        Utils::TraceExactAt(kDownloadHandler, 109, L"DL_CODE_SUCCESS\r\n");
        break;
    }
    case DL_CODE_FAIL:
        Utils::TraceExactAt(kDownloadHandler, 95, L"DL_CODE_FAIL\r\n");
        RemovePackageFiles();
        break;
    case DL_CODE_RETRY: {
        Utils::TraceExactAt(kDownloadHandler, 101, L"DL_CODE_RETRY\r\n");
        // A new attempt on a new worker of the same downloader; this one ends on its own.
        std::lock_guard<std::mutex> hold(m_PhaseLock);
        if (!m_Stopping && m_Downloader) m_Downloader->Start();
        break;
    }
    default:
        break;
    }
}

void CDownloadInstaller::OnUninstallEvent(int code, double progress, const wchar_t* text) {
    m_Callback(code, progress, text);
    switch (code) {
    case UNIST_CODE_PROGRESS:
        Utils::TraceExactAt(kUninstallHandler, 124, L"UNIST_CODE_PROGRESS\r\n");
        break;
    case UNIST_CODE_SUCCESS: {
        Utils::TraceExactAt(kUninstallHandler, 129, L"UNIST_CODE_SUCCESS\r\n");
        std::lock_guard<std::mutex> hold(m_PhaseLock);
        if (!m_Stopping && m_Installer && m_Downloader) m_Downloader->Start();
        break;
    }
    case UNIST_CODE_FAIL:
        Utils::TraceExactAt(kUninstallHandler, 136, L"UNIST_CODE_FAIL\r\n");
        break;
    case UNIST_CODE_ERROR:
        Utils::TraceExactAt(kUninstallHandler, 142, L"UNIST_CODE_ERROR\r\n");
        break;
    default:
        break;
    }
}

void CDownloadInstaller::OnInstallEvent(int code, double progress, const wchar_t* text) {
    m_Callback(code, progress, text);
    switch (code) {
    case IST_CODE_START:
        Utils::TraceExactAt(kInstallHandler, 155, L"IST_CODE_START\r\n");
        break;
    case IST_CODE_PROGRESS:
        Utils::TraceExactAt(kInstallHandler, 160, L"IST_CODE_PROGRESS\r\n");
        break;
    case INSTALL_SUCCESS:
        Utils::TraceExactAt(kInstallHandler, 171, L"INSTALL_SUCCESS\r\n");
        RemovePackageFiles();
        m_PackageDeletionPending = FileExists(m_RunnerPackagePath);
        break;
    case IST_CODE_FAIL:
        Utils::TraceExactAt(kInstallHandler, 183, L"IST_CODE_FAIL\r\n");
        RemovePackageFiles();
        m_PackageDeletionPending = FileExists(m_RunnerPackagePath);
        break;
    default:
        break;
    }
}
