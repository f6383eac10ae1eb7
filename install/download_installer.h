// The installer's engine: removes a previous version when one is to be removed, downloads
// the product's package into the install folder and runs it, each phase on a worker thread
// of its own, each started from the final event of the one before. Every event of every
// phase goes unchanged to one InstallerCallback, on those worker threads.
//
// The window calls SetParams and Start on its thread, and Start again only after an attempt
// has ended. No attempt leaves its package file behind. Destroying the pipeline stops it from
// starting further phases and waits for the running ones (a running package or uninstaller
// included).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "download/downloader.h"
#include "install/installer.h"
#include "install/installer_callback.h"
#include "install/uninstaller.h"

// Makes the downloader for a download type; CreateProductDownloader in the product.
using DownloaderFactory = std::function<std::unique_ptr<CDownloader>(
    int downloadType, const DownloadCallback& callback, const std::wstring& url, const std::wstring& savePath)>;

// CreateDownloader with the process's network state from the settings.
std::unique_ptr<CDownloader> CreateProductDownloader(int downloadType, const DownloadCallback& callback,
                                                     const std::wstring& url, const std::wstring& savePath);

// "<installDir>\__Package_lumivoxApp.exe".
std::wstring PackagePathFor(const std::wstring& installDir);
// Where the previous version's uninstaller is copied before it runs, in the working temp
// folder; empty when there is no working folder (never a path at the root of a drive).
std::wstring UninstallerCopyPathIn(const std::wstring& workTempFolder);

class CDownloadInstaller {
public:
    CDownloadInstaller(InstallerCallback callback, std::wstring url, std::wstring uninstallerPath,
                       std::wstring installDir, bool dsc, bool ssc, bool adminAct,
                       DownloaderFactory createDownloader = DownloaderFactory(&CreateProductDownloader));
    ~CDownloadInstaller();
    CDownloadInstaller(const CDownloadInstaller&) = delete;
    CDownloadInstaller& operator=(const CDownloadInstaller&) = delete;

    // The user's choices for the next start. `uninstallerPath` is empty when no uninstall is
    // wanted.
    void SetParams(const std::wstring& url, const std::wstring& uninstallerPath, const std::wstring& installDir,
                   bool dsc, bool ssc, bool adminAct, bool authorizationAct, const std::wstring& insLang);

    // Starts the first phase and returns. When this installer was started by the running
    // product to update it, first waits (polling every 100 ms, at most
    // SetRunningProductWaitLimit) for the product to exit.
    void Start();

    // How long Start waits for the running product; kRunningProductWaitLimitMs by default.
    void SetRunningProductWaitLimit(DWORD milliseconds) { m_RunningProductWaitLimitMs = milliseconds; }
    static constexpr DWORD kRunningProductWaitLimitMs = 60000;

    const std::wstring& PackagePath() const { return m_PackagePath; }
    // The package path of the last attempt that ended, in this process.
    static std::wstring LastPackagePath();

private:
    void OnDownloadEvent(int code, double value, const std::wstring& text);
    void OnUninstallEvent(int code, double progress, const wchar_t* text);
    void OnInstallEvent(int code, double progress, const wchar_t* text);
    void OnPackageEnded();
    void WaitForRunningProduct() const;
    // Deletes this attempt's package file and the one an earlier attempt left.
    void RemovePackageFiles();

    std::unique_ptr<UnInstaller> m_UnInstaller;
    std::unique_ptr<CDownloader> m_Downloader;
    std::unique_ptr<CInstaller> m_Installer;
    std::wstring m_Url;
    std::wstring m_UninstallerPath;
    std::wstring m_InstallDir;
    std::wstring m_PackagePath;
    std::wstring m_InsLang;
    bool m_Dsc = true;
    bool m_Ssc = true;
    bool m_AdminAct = true;
    bool m_AuthorizationAct = true;
    InstallerCallback m_Callback;

    DownloaderFactory m_CreateDownloader;
    DWORD m_RunningProductWaitLimitMs = kRunningProductWaitLimitMs;
    // Held while a handler starts the next phase and while destruction begins, so that no
    // phase starts on an object being destroyed.
    std::mutex m_PhaseLock;
    bool m_Stopping = false;
    // The package file the runner runs (it keeps the path it was created with), and whether
    // it was still in use when its attempt ended; it then goes when the package ends. Both
    // are touched on the runner's worker only.
    std::wstring m_RunnerPackagePath;
    bool m_PackageDeletionPending = false;
};
