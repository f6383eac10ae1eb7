#include "ui/main_wnd.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <utility>

#include "analytics/installer_reporting.h"
#include "app/installer_settings.h"
#include "install/failure_report.h"
#include "ui/installer_window_styles.h"
#include "ui/interface_language.h"
#include "ui/message_box_wnd.h"
#include "ui/sequence_controls.h"
#include "ui/toolkit/combo_ui.h"
#include "ui/toolkit/label_ui.h"
#include "ui/toolkit/option_ui.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/progress_ui.h"
#include "ui/toolkit/tab_layout_ui.h"
#include "utils/debug_trace.h"
#include "utils/folder_helpers.h"
#include "utils/hard_disk_manager.h"
#include "utils/message_pump.h"
#include "utils/network_check.h"
#include "utils/process_lookup.h"

const wchar_t kProductDisplayName[] = L"Lumivox";

namespace {

constexpr wchar_t kProductExeName[] = L"lumivoxApp.exe";
constexpr wchar_t kUninstallerCopyName[] = L"lumivoxApp_un_asa.exe";
constexpr wchar_t kRunningNotice[] = L"安装程序检测到Lumivox\r\n正在运行，请退出程序后再安装";
constexpr wchar_t kNoticeCaption[] = L"温馨提示";
constexpr wchar_t kInitialProgressText[] = L"正在安装中:0%，请稍候...";
// Shown when the skin's string table has no text 104 (the shipped skin has no language file).
constexpr wchar_t kLowSpaceFallbackText[] = L"安装目录所在磁盘剩余空间不足1GB，\r\n请清理磁盘或更换安装路径";
// No agreement address is configured for this product; the link row is hidden in the layout.
constexpr wchar_t kLicenceAgreementUrl[] = L"";
constexpr double kRequiredFreeGigabytes = 1.0;
constexpr UINT kAppIconId = 145;
constexpr size_t kProgressTextCapacity = 250;

const wchar_t* const kPageBackgrounds[] = {L"res\\mainWnd\\bg1.png", L"res\\mainWnd\\bg2.png",
                                           L"res\\mainWnd\\bg3.png", L"res\\mainWnd\\bg4.png"};

bool IsNamed(const SkinUI::CControlUI* control, const wchar_t* name) {
    return control != nullptr && control->GetName() == name;
}

bool IsTicked(const SkinUI::CCheckBoxUI* check) { return check != nullptr && check->IsSelected(); }

bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// "C:" of "C:\Program Files\..."; the folder itself when it names no drive.
std::wstring DrivePart(const std::wstring& folder) {
    if (folder.size() >= 2 && folder[1] == L':') return folder.substr(0, 2);
    return folder;
}

// The network check of one attempt, on its own thread: the verdict goes back to the window
// as a queued notification.
void CheckNetworkForWindow(void* argument) {
    auto* window = static_cast<CMainWnd*>(argument);
    const HRESULT initialised = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const uint32_t result = Utils::CheckNetwork();
    SkinUI::CPaintManagerUI& manager = window->GetPaintManager();
    manager.SendNotify(manager.GetRoot(), L"checknet", result, 0, true);
    if (SUCCEEDED(initialised)) ::CoUninitialize();
}

}  // namespace

CMainWnd::CMainWnd(DownloaderFactory createDownloader)
    : CMainWnd(std::move(createDownloader), SkinUI::MakeSkinSource(L"MainWnd.xml")) {}

CMainWnd::CMainWnd(DownloaderFactory createDownloader, const SkinUI::SkinSource& source)
    : CSkinFrame(source), m_CreateDownloader(std::move(createDownloader)) {}

CMainWnd::~CMainWnd() {
    // The check's worker queues into this window's paint manager; the pipeline posts to the
    // window and waits for a running package. Both go before the window does.
    m_NetCheckThread.reset();
    m_Pipeline.reset();
}

int CMainWnd::CurrentPage() const { return m_MainTabs != nullptr ? m_MainTabs->GetCurSel() : -1; }

std::unique_ptr<SkinUI::CControlUI> CMainWnd::CreateControl(const wchar_t* className) {
    if (_wcsicmp(className, L"SequenceButton") == 0) return std::make_unique<CSequenceButtonUI>();
    if (_wcsicmp(className, L"SequenceLabel") == 0) return std::make_unique<CSequenceLabelUI>();
    return nullptr;
}

void CMainWnd::InitWindow() {
    CSkinFrame::InitWindow();
    ApplyInstallerWindowStyles(m_hWnd);
    SetIcon(kAppIconId);

    m_WinContainer = FindControl(L"winCtn");
    m_TitleTabs = dynamic_cast<SkinUI::CTabLayoutUI*>(FindControl(L"titleTabLt"));
    m_MainTabs = dynamic_cast<SkinUI::CTabLayoutUI*>(FindControl(L"mainTabLt"));
    m_DefaultInstallButton = FindControl(L"defaultInstallBtn");
    m_CustomInstallButton = FindControl(L"customeInstallBtn");
    m_CustomButton = FindControl(L"customeBtn");
    m_TreatyButton = dynamic_cast<SkinUI::CCheckBoxUI*>(FindControl(L"treatyBtn"));
    m_BackButton = FindControl(L"backBtn");
    m_TreatyCheck = dynamic_cast<SkinUI::CCheckBoxUI*>(FindControl(L"treatyCb"));
    m_ServiceCheck = dynamic_cast<SkinUI::CCheckBoxUI*>(FindControl(L"serviceCb"));
    m_ChooseFolderButton = FindControl(L"chDirBtn");
    m_InstallDirEdit = FindControl(L"installDirEdit");
    m_OpenProductButton = FindControl(L"openProduceBtn");
    m_TitleGroup = FindControl(L"titleGrpCtn");
    m_ProgressLabel = dynamic_cast<SkinUI::CLabelUI*>(FindControl(L"progressLb"));
    m_DesktopShortcutCheck = dynamic_cast<SkinUI::CCheckBoxUI*>(FindControl(L"createDSCb"));
    m_QuickLaunchCheck = dynamic_cast<SkinUI::CCheckBoxUI*>(FindControl(L"createQSCb"));
    m_ProgressAnimation = FindControl(L"progressAnLb");
    m_FinishedAnimation = FindControl(L"finishedLbl");
    m_InstallProgress = dynamic_cast<SkinUI::CProgressUI*>(FindControl(L"installPrg"));
    m_TipLabel = FindControl(L"tipLbl");
    m_SoftNameLabel = dynamic_cast<SkinUI::CLabelUI*>(FindControl(L"softNameLbl"));
    m_InstallLogo = FindControl(L"installLogo");
    m_LanguageCombo = dynamic_cast<SkinUI::CComboUI*>(FindControl(L"languageCombo"));
    const wchar_t* const titleNames[] = {L"bTitleLbl1", L"bTitleLbl2", L"bTitleLbl3"};
    for (int i = 0; i < 3; ++i) m_TitleLabels[i] = dynamic_cast<SkinUI::CLabelUI*>(FindControl(titleNames[i]));

    if (m_LanguageCombo != nullptr) {
        m_LanguageCombo->SelectItem(g_InstallerSettings.m_Language, true);
        ApplyLanguage(m_PaintManager, g_InstallerSettings.m_Language);
    }
    for (SkinUI::CLabelUI* label : {m_SoftNameLabel, m_TitleLabels[0], m_TitleLabels[1], m_TitleLabels[2]}) {
        if (label == nullptr) continue;
        label->SetText(kProductDisplayName);
        label->SetFixedWidth(m_PaintManager.MeasureText(label->GetFont(), kProductDisplayName).cx);
    }

    const HWND window = m_hWnd;
    m_Pipeline = std::make_unique<CDownloadInstaller>(
        [window](int code, double progress, const wchar_t* text) {
            // Worker thread: copy the event and post it; a window that is gone drops it.
            auto event = std::make_unique<InstallerEvent>(InstallerEvent{code, progress, text != nullptr ? text : L""});
            if (::PostMessageW(window, WM_INSTALLER_EVENT, 0, reinterpret_cast<LPARAM>(event.get()))) event.release();
        },
        L"", L"", L"", true, true, true, m_CreateDownloader);

    m_Previous.ReadInstallRecord();
    m_HasPrevious = !m_Previous.m_PreviousInstallDir.empty();
    if (m_InstallDirEdit != nullptr) m_InstallDirEdit->SetText(m_Previous.GetDefaultInstallDir());
    CenterWindow();

    if (!m_HasPrevious) return;
    const std::wstring& previousFolder = m_Previous.m_PreviousInstallDir;
    if (m_LanguageCombo != nullptr) {
        m_LanguageCombo->SelectItem(InstalledProductLanguage(m_PaintManager, previousFolder), true);
    }
    if (g_InstallerSettings.m_InsNew) {
        StartInstall(previousFolder, true, true);
        return;
    }
    if (Utils::FindProcessByName(kProductExeName) != 0) {
        ShowRunningNotice();
        Close(1);
        return;
    }
    switch (ShowBox(L"InstalledPathTipWnd.xml", nullptr, nullptr)) {
    case kMessageBoxCancel:  // "打开软件"
        m_ProductExe = previousFolder + L"\\" + kProductExeName;
        ::ShellExecuteW(nullptr, L"open", m_ProductExe.c_str(), nullptr, previousFolder.c_str(), SW_SHOWNORMAL);
        Close(1);
        break;
    case kMessageBoxOk:  // "安装最新版本"
        StartInstall(previousFolder, true, true);
        break;
    default:
        Close(1);
        break;
    }
}

LRESULT CMainWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_CLOSE:
        // No closing while the package runs.
        if (CurrentPage() == kInstallingPage) return 0;
        break;
    case WM_DOWNLOADER_STARTED:
        if (!m_StartReported) {
            m_StartReported = true;
            ReportTask(L"下载器启动", L"", {{L"AB", m_EventAbValue}}, 0.0f);
        }
        break;
    case WM_DESTROY: {
        // Events posted but not yet handled would be lost with the window: free them.
        MSG pending{};
        while (::PeekMessageW(&pending, m_hWnd, WM_INSTALLER_EVENT, WM_INSTALLER_EVENT, PM_REMOVE)) {
            std::unique_ptr<InstallerEvent>(reinterpret_cast<InstallerEvent*>(pending.lParam));
        }
        break;
    }
    default:
        break;
    }
    return CSkinFrame::HandleMessage(uMsg, wParam, lParam);
}

LRESULT CMainWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (uMsg == WM_TIMER) return OnTimer(uMsg, wParam, lParam, bHandled);
    if (uMsg == WM_INSTALLER_EVENT) {
        const std::unique_ptr<InstallerEvent> event(reinterpret_cast<InstallerEvent*>(lParam));
        if (event) OnInstallerEvent(*event);
        return 0;
    }
    bHandled = FALSE;
    return 0;
}

LRESULT CMainWnd::OnTimer(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    // The window has no native timers of its own; control timers go on to the paint manager.
    bHandled = FALSE;
    return 0;
}

int CMainWnd::ShowBox(const wchar_t* layout, const wchar_t* text, const wchar_t* caption) {
    SkinUI::SkinSource source = SkinUI::MakeSkinSource(layout);
    source.resourceKind = GetSkinSource().resourceKind;
    source.resourceId = GetSkinSource().resourceId;
    source.skinFolder = GetSkinSource().skinFolder;
    return ShowMessageBox(m_hWnd, source, text, caption);
}

void CMainWnd::ShowRunningNotice() { ShowBox(L"MessageBox1Wnd.xml", kRunningNotice, kNoticeCaption); }

void CMainWnd::SelectPage(int page) {
    if (m_MainTabs != nullptr) m_MainTabs->SelectItem(page, true);
}

void CMainWnd::SendInstallNotification(bool start, bool queued) {
    m_PaintManager.SendNotify(m_PaintManager.GetRoot(), L"install", start ? 1 : 0, 0, queued);
}

void CMainWnd::ReportClickOf(const wchar_t* buttonName) { ReportClick({{L"AB", m_EventAbValue}}, buttonName); }

std::wstring CMainWnd::CustomFolderChoice() {
    return m_Previous.GetCustomInstallDir(m_InstallDirEdit != nullptr ? m_InstallDirEdit->GetText() : std::wstring());
}

std::wstring CMainWnd::LowSpaceText() const {
    const wchar_t* text = SkinUI::CPaintManagerUI::GetMultiLanguageString(kLowDiskSpaceStringId);
    return text != nullptr ? text : kLowSpaceFallbackText;
}

bool CMainWnd::StartInstall(const std::wstring& folder, bool desktopShortcut, bool quickLaunchShortcut) {
    const bool updating = g_InstallerSettings.m_InsNew;
    if (!updating && Utils::FindProcessByName(kUninstallerCopyName) != 0) {
        ShowRunningNotice();
        if (m_HasPrevious) Close(1);
        return false;
    }
    if (!updating && Utils::FindProcessByName(kProductExeName) != 0) {
        ShowRunningNotice();
        Close(1);
        return false;
    }
    if (m_CustomInstallButton != nullptr) m_CustomInstallButton->SetEnabled(false);

    if (!Utils::CreateDirectoryTree(folder)) {
        ShowBox(L"MessageBox2Wnd.xml", L"无效路径", kNoticeCaption);
        SendInstallNotification(false, false);
        return false;
    }
    Utils::HardDiskManager disk;
    disk.CheckFreeSpace(DrivePart(folder));  // a failed query leaves 0 bytes: refused below
    const double freeGigabytes = static_cast<double>(disk.freeBytesAvailable) / 1073741824.0;
    if (freeGigabytes < kRequiredFreeGigabytes) {
        ShowBox(L"MessageBox2Wnd.xml", LowSpaceText().c_str(), kNoticeCaption);
        SendInstallNotification(false, false);
        return false;
    }

    m_InstallFolder = folder;
    const std::wstring uninstaller = m_Previous.IsOverrideOff(folder) ? std::wstring() : m_Previous.m_PreviousUninstaller;
    m_Pipeline->SetParams(g_InstallerSettings.m_DownloadUrl, uninstaller, folder, desktopShortcut, quickLaunchShortcut,
                          m_Previous.m_AdminAct, m_Previous.m_AuthorizationAct, SelectedLanguageTag(m_PaintManager));

    if (g_InstallerSettings.m_IsCheckNet) {
        // The earlier check has already reported (its verdict led to this attempt), so this
        // wait only collects a thread that is ending.
        m_NetCheckThread.reset();
        m_NetCheckThread = std::make_unique<Utils::Thread>(this, L"ABDEF", &CheckNetworkForWindow);
        if (m_NetCheckThread->handle == nullptr || !m_NetCheckThread->Resume()) {
            Utils::TraceAt(L"CMainWnd::StartInstall", __LINE__, L"network check not started; installing anyway");
            SendInstallNotification(true, true);
        }
    } else {
        SendInstallNotification(true, true);
    }
    return true;
}

void CMainWnd::Notify(SkinUI::NotifyRecord& msg) {
    SkinUI::CControlUI* root = m_PaintManager.GetRoot();
    if (msg.type == SkinUI::NotifyType::kSelectChanged) {
        OnSelectChanged(msg.sender);
    } else if (msg.type == SkinUI::NotifyType::kTabSelect) {
        OnTabSelect();
    } else if (msg.type == L"checknet") {
        const bool poor = (static_cast<uint32_t>(msg.wParam) >> 16) != 0;
        if (poor) ShowBox(L"MessageBox2Wnd.xml", L"当前网络环境较差，请在网络通畅时进行安装", kNoticeCaption);
        SendInstallNotification(!poor, false);
    } else if (msg.type == L"install") {
        if (msg.wParam != 0) {
            m_ModePage = CurrentPage();
            SelectPage(kInstallingPage);
            ReportPageView({{L"AB", m_EventAbValue}});
            m_Pipeline->Start();
        }
        if (m_CustomInstallButton != nullptr) m_CustomInstallButton->SetEnabled(true);
    } else if (msg.type == SkinUI::NotifyType::kTimer && msg.sender == root && root != nullptr) {
        if (msg.wParam == kTopShowTimerId) {
            ::SetForegroundWindow(m_hWnd);
            root->KillTimer(kTopShowTimerId);
        } else if (msg.wParam == kSelfCloseTimerId) {
            Close(1);
            root->KillTimer(kSelfCloseTimerId);
        }
    } else if (msg.type == SkinUI::NotifyType::kItemSelect && msg.sender == m_LanguageCombo &&
               m_LanguageCombo != nullptr) {
        ApplyLanguage(m_PaintManager, m_LanguageCombo->GetCurSel());
    }
    CSkinFrame::Notify(msg);
}

void CMainWnd::OnSelectChanged(SkinUI::CControlUI* sender) {
    if (sender == nullptr) return;
    if (sender == m_TreatyCheck) {
        if (m_TreatyButton != nullptr) m_TreatyButton->Selected(m_TreatyCheck->IsSelected(), true);
        if (m_TreatyCheck->IsSelected() && (m_ServiceCheck == nullptr || m_ServiceCheck->IsSelected())) {
            if (m_CustomButton != nullptr) m_CustomButton->SetEnabled(true);
            if (m_TipLabel != nullptr) m_TipLabel->SetVisible(false);
        } else if (m_CustomButton != nullptr) {
            m_CustomButton->SetEnabled(false);
        }
    } else if (sender == m_ServiceCheck) {
        const bool ticked = m_ServiceCheck->IsSelected();
        if (m_DefaultInstallButton != nullptr) m_DefaultInstallButton->SetEnabled(ticked);
        if (m_CustomButton != nullptr) m_CustomButton->SetEnabled(ticked && IsTicked(m_TreatyCheck));
    } else if (sender == m_TreatyButton) {
        // The link's own tick follows the agreement box, never a click on the link.
        if (m_TreatyCheck != nullptr) m_TreatyButton->Selected(m_TreatyCheck->IsSelected(), true);
    }
}

void CMainWnd::OnTabSelect() {
    const int page = CurrentPage();
    Utils::TraceAt(L"CMainWnd::OnTabSelect", __LINE__, L"page %d", page);
    const auto setBackground = [this](const wchar_t* image) {
        if (m_WinContainer != nullptr) m_WinContainer->SetBkImage(image);
    };
    const auto selectTitle = [this](int titlePage) {
        if (m_TitleTabs != nullptr) m_TitleTabs->SelectItem(titlePage, true);
    };
    switch (page) {
    case kHomePage:
    case kCustomPage:
        setBackground(kPageBackgrounds[page]);
        selectTitle(1);
        break;
    case kInstallingPage:
        setBackground(kPageBackgrounds[page]);
        if (m_ProgressAnimation != nullptr) {
            if (auto* animation = static_cast<CSequenceLabelUI*>(m_ProgressAnimation->GetInterface(L"SequenceLabel"))) {
                animation->Start();
            }
        }
        break;
    case kFinishedPage:
        selectTitle(2);
        setBackground(kPageBackgrounds[page]);
        if (m_ProgressAnimation != nullptr) m_PaintManager.KillTimer(m_ProgressAnimation, kSequenceTimerId);
        if (m_FinishedAnimation != nullptr) {
            if (auto* animation = static_cast<CSequenceLabelUI*>(m_FinishedAnimation->GetInterface(L"SequenceLabel"))) {
                animation->Start();
            }
        }
        break;
    default:
        setBackground(kPageBackgrounds[0]);
        selectTitle(0);
        break;
    }
    if (m_WinContainer != nullptr) m_WinContainer->Invalidate();
    if (m_TitleGroup != nullptr) m_TitleGroup->SetVisible(page != kInstallingPage);
    if (m_InstallLogo != nullptr) m_InstallLogo->SetVisible(page == kInstallingPage);
    if (m_BackButton != nullptr) m_BackButton->SetVisible(page == kCustomPage);
}

void CMainWnd::OnClick(SkinUI::NotifyRecord& msg) {
    SkinUI::CControlUI* sender = msg.sender;
    if (sender == nullptr) return;
    if (sender == m_DefaultInstallButton) {
        ReportClickOf(L"立即安装");
        if (IsTicked(m_TreatyCheck)) {
            StartInstall(m_Previous.GetDefaultInstallDir(), true, true);
        } else if (m_TipLabel != nullptr) {
            m_TipLabel->SetVisible(true);
        }
    } else if (sender == m_CustomButton) {
        ReportClickOf(L"自定义安装");
        SelectPage(kCustomPage);
        if (m_CustomInstallButton != nullptr) m_CustomInstallButton->SetFocus();
    } else if (sender == m_TreatyButton) {
        OpenLicenceAgreement();
    } else if (sender == m_BackButton) {
        SelectPage(kHomePage);
    } else if (sender == m_ChooseFolderButton) {
        PickFolder();
    } else if (sender == m_CustomInstallButton) {
        ReportClickOf(L"自定义安装_立即安装");
        StartInstall(CustomFolderChoice(), IsTicked(m_DesktopShortcutCheck), IsTicked(m_QuickLaunchCheck));
    } else if (sender == m_OpenProductButton) {
        ReportClickOf(L"立即体验");
        if (m_StartupStyle == 2) RunProduct();
        Close(1);
    } else if (IsNamed(sender, L"closebtn")) {
        if (CurrentPage() == kFinishedPage) {
            Close(1);
        } else if (ShowBox(L"ExitTipWnd.xml", nullptr, nullptr) == kMessageBoxOk) {
            Close(1);
        }
    } else {
        CSkinFrame::OnClick(msg);
    }
}

void CMainWnd::OpenLicenceAgreement() {
    // Opening an empty target would only bring up the shell's error box, so without a
    // configured address the link leaves a trace line and nothing else.
    if (kLicenceAgreementUrl[0] == L'\0') {
        Utils::TraceAt(L"CMainWnd::OpenLicenceAgreement", __LINE__, L"no licence agreement address configured");
        return;
    }
    ::ShellExecuteW(nullptr, L"open", kLicenceAgreementUrl, nullptr, nullptr, SW_SHOWMAXIMIZED);
}

void CMainWnd::PickFolder() {
    // The new-style picker needs OLE on this thread.
    const HRESULT initialised = ::OleInitialize(nullptr);
    BROWSEINFOW browse{};
    browse.hwndOwner = m_hWnd;
    browse.lpszTitle = L"选择一个文件夹";
    browse.ulFlags = BIF_NEWDIALOGSTYLE;
    if (PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&browse)) {
        wchar_t path[MAX_PATH] = {};
        if (::SHGetPathFromIDListW(chosen, path) && m_InstallDirEdit != nullptr) m_InstallDirEdit->SetText(path);
        ::CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(initialised)) ::OleUninitialize();
}

void CMainWnd::ShowPercent(int percent) {
    std::wstring format = m_ProgressLabel != nullptr ? m_ProgressLabel->GetUserData() : std::wstring();
    if (format.empty()) format = InstallingTextFormat(Utils::ElapsedSeconds(m_Stopwatch));
    std::wstring text = FormatProgressText(format, percent);
    if (text.size() >= kProgressTextCapacity) text.resize(kProgressTextCapacity - 1);
    if (m_ProgressLabel != nullptr) m_ProgressLabel->SetText(text);
    if (m_InstallProgress != nullptr) m_InstallProgress->SetValue(percent);
}

void CMainWnd::OnInstallerEvent(const InstallerEvent& event) {
    const ExperimentValues experiment{{L"AB", m_EventAbValue}};
    switch (event.code) {
    case DL_CODE_START:
        if (!m_StartReported) {
            m_StartReported = true;
            m_EventAbValue = g_InstallerSettings.m_AbValue;
            ReportTask(L"下载器启动", L"", {{L"AB", m_EventAbValue}}, 0.0f);
        }
        m_Stopwatch = Utils::StartElapsed();
        ReportTask(L"开始下载大包", L"", {{L"AB", m_EventAbValue}}, 0.0f);
        break;
    case DL_CODE_PROGRESS:
        ShowPercent(DownloadProgressPercent(event.progress, g_InstallerSettings.m_DownloadScale));
        break;
    case DL_CODE_SUCCESS:
        ReportTask(L"大包下载完毕", L"", experiment, Utils::ElapsedSeconds(m_Stopwatch));
        break;
    case DL_CODE_FAIL: {
        ReportDownloadFailure(m_Pipeline->PackagePath(), event.progress, event.text);
        const int answer = ShowBox(L"NetworkTipWnd.xml", nullptr, nullptr);
        if (answer == kMessageBoxCancel) {
            if (m_HasPrevious) Close(1);
        } else if (answer == kMessageBoxOk) {
            if (m_ModePage == kHomePage) {
                StartInstall(m_Previous.GetDefaultInstallDir(), true, true);
            } else if (m_ModePage == kCustomPage) {
                StartInstall(CustomFolderChoice(), IsTicked(m_DesktopShortcutCheck), IsTicked(m_QuickLaunchCheck));
            }
        }
        SelectPage(m_ModePage);
        break;
    }
    case DL_CODE_REPORT:
        ReportShortFailure(event.progress, event.text, false);
        break;
    case IST_CODE_START:
        WriteInstallProfile(m_InstallFolder);
        break;
    case IST_CODE_PROGRESS:
        ShowPercent(m_InstallShare.OnInstallProgress(event.progress, g_InstallerSettings.m_DownloadScale));
        break;
    case INSTALL_SUCCESS: {
        ReportTask(L"安装成功", L"", experiment, Utils::ElapsedSeconds(m_Stopwatch));
        if (m_InstallProgress != nullptr) {
            m_InstallProgress->SetValue(100);
            const wchar_t* finishedFill = L"res\\mainWnd\\installPrg3.png";
            if (FileExists(SkinUI::CPaintManagerUI::GetResourcePath() + finishedFill)) {
                m_InstallProgress->SetForeImage(finishedFill);
                m_InstallProgress->Invalidate();
            }
        }
        if (m_SoftNameLabel != nullptr) {
            m_SoftNameLabel->SetText(kProductDisplayName);
            m_SoftNameLabel->SetVisible(true);
        }
        SelectPage(kFinishedPage);
        FinishInstall();
        break;
    }
    case IST_CODE_FAIL:
        ReportShortFailure(event.progress, event.text, true);
        ShowBox(L"MessageBox2Wnd.xml", event.text.empty() ? L"安装失败" : event.text.c_str(), kNoticeCaption);
        if (m_InstallProgress != nullptr && m_InstallProgress->GetValue() >= 70) {
            if (m_ProgressLabel != nullptr) m_ProgressLabel->SetText(kInitialProgressText);
            m_InstallProgress->SetValue(0);
        }
        SelectPage(kHomePage);
        break;
    case IST_INFO_INSTALL_PATH:
        m_InstallFolder = event.text;
        break;
    case IST_INFO_EXE_PATH:
        m_ProductExe = event.text;
        break;
    case IST_INFO_UNINSTALL_EP:
        m_ReportedUninstaller = event.text;
        break;
    case IST_INFO_START_URL:
        m_StartUrl = event.text;
        break;
    case IST_INFO_STARTUP_STYLE:
        m_StartupStyle = static_cast<int32_t>(event.progress);
        break;
    case IST_INFO_TOP_SHOW_DELAY:
        // A negative delay (-1: never) wraps to the largest one, as the package means it.
        m_TopShowDelay = static_cast<uint32_t>(static_cast<int64_t>(event.progress));
        break;
    case IST_INFO_CLOSE_DELAY:
        m_CloseDelay = static_cast<uint32_t>(static_cast<int64_t>(event.progress));
        break;
    case IST_INFO_MESSAGE:
        ShowBox(L"MessageBox1Wnd.xml", event.text.c_str(), L"消息");
        break;
    case UNIST_CODE_FAIL:
    case UNIST_CODE_ERROR:
        ShowRunningNotice();
        SelectPage(m_ModePage);
        if (m_HasPrevious) Close(1);
        break;
    default:
        break;
    }
}

void CMainWnd::FinishInstall() {
    WriteInstallRecord(m_InstallFolder, m_ReportedUninstaller);
    WriteInstallProfile(m_InstallFolder);
    if (m_StartupStyle == 1) RunProduct();
    SkinUI::CControlUI* root = m_PaintManager.GetRoot();
    if (root == nullptr) return;
    if (m_TopShowDelay != 0) root->SetTimer(kTopShowTimerId, m_TopShowDelay);
    if (m_CloseDelay != 0) root->SetTimer(kSelfCloseTimerId, m_CloseDelay);
}

void CMainWnd::RunProduct() {
    if (m_StartUrl.size() > 5) ::ShellExecuteW(nullptr, L"open", m_StartUrl.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
    if (FileExists(m_ProductExe)) {
        // Lets the finished page paint before the product takes the screen.
        Utils::PumpMessages(m_hWnd);
        ::ShellExecuteW(nullptr, L"open", m_ProductExe.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}
