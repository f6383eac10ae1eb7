// CMainWnd: the installer's one main window. Four pages in a tab layout (home, custom,
// installing, finished); the checks before an attempt (product or uninstaller running,
// folder, free space, network); the download-and-install pipeline it owns; every pipeline
// event turned into progress, texts, dialogs and reports; and the end of an installation
// (install record, profile files, starting the product, timers that raise and close it).
//
// Threads: everything runs on the window thread. The pipeline's workers reach the window
// only through the callback receiver, which copies each event into an InstallerEvent and
// posts it (WM_INSTALLER_EVENT); the network check's worker only queues a notification.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "install/download_installer.h"
#include "install/install_progress.h"
#include "install/previous_installation.h"
#include "ui/toolkit/skin_frame.h"
#include "utils/elapsed_seconds.h"
#include "utils/thread.h"

namespace SkinUI {
class CCheckBoxUI;
class CEditUI;
class CLabelUI;
class CProgressUI;
class CTabLayoutUI;
class CComboUI;
}  // namespace SkinUI

// Posted by the pipeline's receiver; lParam owns an InstallerEvent, wParam is 0.
constexpr UINT WM_INSTALLER_EVENT = WM_USER + 1000;
// Another program (the product) may post it; reports "下载器启动" once.
constexpr UINT WM_DOWNLOADER_STARTED = WM_USER + 200;

// Timers of the root control after a successful installation.
constexpr UINT kTopShowTimerId = 10;
constexpr UINT kSelfCloseTimerId = 11;

struct InstallerEvent {
    int code = 0;
    double progress = 0.0;
    std::wstring text;
};

class CMainWnd : public SkinUI::CSkinFrame {
public:
    // Pages of "mainTabLt".
    enum Page : int { kHomePage = 0, kCustomPage = 1, kInstallingPage = 2, kFinishedPage = 3 };

    // `createDownloader` makes the pipeline's downloaders (CreateProductDownloader in the product).
    explicit CMainWnd(DownloaderFactory createDownloader);
    CMainWnd(DownloaderFactory createDownloader, const SkinUI::SkinSource& source);

protected:
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

public:
    ~CMainWnd() override;

    // Hands an attempt to the pipeline after the checks; true when the "install"
    // notification that starts it is on its way.
    bool StartInstall(const std::wstring& folder, bool desktopShortcut, bool quickLaunchShortcut);
    void RunProduct();
    void FinishInstall();

    void Notify(SkinUI::NotifyRecord& msg) override;
    std::unique_ptr<SkinUI::CControlUI> CreateControl(const wchar_t* className) override;

    int CurrentPage() const;
    CDownloadInstaller* GetPipeline() const { return m_Pipeline.get(); }

protected:
    void InitWindow() override;
    void OnClick(SkinUI::NotifyRecord& msg) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    virtual LRESULT OnTimer(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual void OnInstallerEvent(const InstallerEvent& event);

    // Dialogs come from the same skin as the window.
    int ShowBox(const wchar_t* layout, const wchar_t* text, const wchar_t* caption);
    void ShowRunningNotice();
    void SelectPage(int page);
    void ShowPercent(int percent);
    void SendInstallNotification(bool start, bool queued);
    void OnTabSelect();
    void OnSelectChanged(SkinUI::CControlUI* sender);
    void ReportClickOf(const wchar_t* buttonName);
    std::wstring CustomFolderChoice();
    void PickFolder();
    void OpenLicenceAgreement();
    // The text of the low-disk-space box.
    std::wstring LowSpaceText() const;

    // Controls; every one may be absent from a layout.
    SkinUI::CControlUI* m_WinContainer = nullptr;
    SkinUI::CTabLayoutUI* m_TitleTabs = nullptr;
    SkinUI::CTabLayoutUI* m_MainTabs = nullptr;
    SkinUI::CControlUI* m_DefaultInstallButton = nullptr;
    SkinUI::CControlUI* m_CustomInstallButton = nullptr;
    SkinUI::CControlUI* m_CustomButton = nullptr;
    SkinUI::CCheckBoxUI* m_TreatyButton = nullptr;
    SkinUI::CControlUI* m_BackButton = nullptr;
    SkinUI::CCheckBoxUI* m_TreatyCheck = nullptr;
    SkinUI::CCheckBoxUI* m_ServiceCheck = nullptr;
    SkinUI::CControlUI* m_ChooseFolderButton = nullptr;
    SkinUI::CControlUI* m_InstallDirEdit = nullptr;
    SkinUI::CControlUI* m_OpenProductButton = nullptr;
    SkinUI::CControlUI* m_TitleGroup = nullptr;
    SkinUI::CLabelUI* m_ProgressLabel = nullptr;
    SkinUI::CCheckBoxUI* m_DesktopShortcutCheck = nullptr;
    SkinUI::CCheckBoxUI* m_QuickLaunchCheck = nullptr;
    SkinUI::CControlUI* m_ProgressAnimation = nullptr;
    SkinUI::CControlUI* m_FinishedAnimation = nullptr;
    SkinUI::CProgressUI* m_InstallProgress = nullptr;
    SkinUI::CControlUI* m_TipLabel = nullptr;
    SkinUI::CLabelUI* m_SoftNameLabel = nullptr;
    SkinUI::CControlUI* m_InstallLogo = nullptr;
    SkinUI::CComboUI* m_LanguageCombo = nullptr;
    SkinUI::CLabelUI* m_TitleLabels[3] = {nullptr, nullptr, nullptr};

    DownloaderFactory m_CreateDownloader;
    std::unique_ptr<CDownloadInstaller> m_Pipeline;
    PreviousInstallation m_Previous;
    bool m_HasPrevious = false;
    std::wstring m_InstallFolder;
    std::wstring m_ProductExe;
    std::wstring m_ReportedUninstaller;
    std::wstring m_StartUrl;
    int32_t m_StartupStyle = 0;
    uint32_t m_TopShowDelay = 3000;
    uint32_t m_CloseDelay = 4294967295u;
    Utils::ElapsedStart m_Stopwatch;
    std::unique_ptr<Utils::Thread> m_NetCheckThread;
    int32_t m_ModePage = 0;
    InstallProgressEstimate m_InstallShare;  // never reset: a new attempt goes on from it
    std::wstring m_EventAbValue = L"IN";
    bool m_StartReported = false;
};

// The product's display name, the main window's title.
extern const wchar_t kProductDisplayName[];
