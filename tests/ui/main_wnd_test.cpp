// The main window as a person uses it, on a real display: pages, clicks, the checks before
// an installation, progress and failures as the pipeline reports them, dialogs answered
// with clicks and keys, and a whole installation through the real pipeline with a test
// downloader that serves the scriptable fake package. Every page and dialog met is saved
// as a screenshot.
//
// Seams: the product's registry key lives under a test key, the free-space and network
// readers answer what a test says, APPDATA points into a temporary folder (so the default
// install folder is there), and events are injected by posting WM_INSTALLER_EVENT.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "analytics/analytics_paths.h"
#include "analytics/installer_reporting.h"
#include "app/installer_settings.h"
#include "tests/analytics/sdk/collector_client.h"
#include "utils/text_convert.h"
#include "install/previous_installation.h"
#include "tests/install/test_downloader.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/window_driver.h"
#include "tools/fakes/fake_script.h"
#include "ui/main_wnd.h"
#include "ui/message_box_wnd.h"
#include "ui/sequence_controls.h"
#include "ui/toolkit/label_ui.h"
#include "ui/toolkit/option_ui.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/progress_ui.h"
#include "ui/toolkit/tab_layout_ui.h"
#include "utils/hard_disk_manager.h"
#include "utils/network_check.h"
#include "utils/product_registry.h"

namespace {

using WindowDriver::DialogAnswers;
using WindowDriver::PumpUntil;

constexpr wchar_t kRunningNotice[] = L"安装程序检测到Lumivox\r\n正在运行，请退出程序后再安装";
constexpr wchar_t kTestRegistryKey[] = L"Software\\LumivoxWindowTests";

uint64_t g_FreeBytes = 0;
Utils::NetworkState g_Network;

bool TestFreeSpace(const std::wstring&, Utils::FreeSpace* space) {
    space->freeBytesAvailable = g_FreeBytes;
    space->totalBytes = g_FreeBytes * 2;
    space->totalFreeBytes = g_FreeBytes;
    return true;
}

Utils::NetworkState TestNetwork() { return g_Network; }

class TestMainWnd : public CMainWnd {
public:
    using CMainWnd::CMainWnd;
    using CMainWnd::m_CloseDelay;
    using CMainWnd::m_InstallFolder;
    using CMainWnd::m_ModePage;
    using CMainWnd::m_ProductExe;
    using CMainWnd::m_Stopwatch;
    using CMainWnd::m_TopShowDelay;

    HWND Open() { return Create(nullptr, kProductDisplayName, WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0); }

    // Posts an event as the pipeline's receiver does and waits until it has been handled.
    void Inject(int code, double progress = 0.0, const std::wstring& text = L"") {
        const int before = handled;
        auto event = std::make_unique<InstallerEvent>(InstallerEvent{code, progress, text});
        ASSERT_TRUE(::PostMessageW(m_hWnd, WM_INSTALLER_EVENT, 0, reinterpret_cast<LPARAM>(event.get())));
        event.release();
        ASSERT_TRUE(PumpUntil([&] { return handled > before; }));
    }
    std::wstring ProgressText() { return FindControl(L"progressLb")->GetText(); }
    int Bar() { return static_cast<SkinUI::CProgressUI*>(FindControl(L"installPrg"))->GetValue(); }
    bool Visible(const wchar_t* name) { return FindControl(name)->IsVisible(); }
    bool Enabled(const wchar_t* name) { return FindControl(name)->IsEnabled(); }
    SkinUI::CCheckBoxUI* Check(const wchar_t* name) { return static_cast<SkinUI::CCheckBoxUI*>(FindControl(name)); }
    void Shot(const std::wstring& name) { WindowDriver::SaveScreenshot(*this, name); }
    bool WaitForPage(int page) {
        return PumpUntil([&] { return m_hWnd != nullptr && CurrentPage() == page; }, 20000);
    }
    bool WaitUntilClosed(DWORD timeoutMs = 5000) {
        return PumpUntil([&] { return m_hWnd == nullptr; }, timeoutMs);
    }

    std::vector<int> codes;
    int handled = 0;

protected:
    void OnInstallerEvent(const InstallerEvent& event) override {
        codes.push_back(event.code);
        CMainWnd::OnInstallerEvent(event);
        ++handled;
    }
};

// A copy of the fake package running under a product's process name until the test ends.
class RunningProgram {
public:
    RunningProgram(const TestSupport::TempFolder& folder, const std::wstring& exeName) {
        const std::wstring path = folder.File(exeName);
        if (!Fakes::PlaceFake(Fakes::FakePackagePath(), path, "sleep 60000\n")) return;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring commandLine = L"\"" + path + L"\"";
        if (::CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                             &startup, &m_Process)) {
            ::CloseHandle(m_Process.hThread);
        }
    }
    ~RunningProgram() {
        if (m_Process.hProcess == nullptr) return;
        ::TerminateProcess(m_Process.hProcess, 0);
        ::WaitForSingleObject(m_Process.hProcess, 10000);  // a terminated process ends at once
        ::CloseHandle(m_Process.hProcess);
    }
    bool Started() const { return m_Process.hProcess != nullptr; }

private:
    PROCESS_INFORMATION m_Process{};
};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        m_SavedSettings = g_InstallerSettings;
        g_InstallerSettings.m_IsCheckNet = false;
        g_InstallerSettings.m_DownloadScale = 0.7;
        g_InstallerSettings.m_InsNew = false;
        g_InstallerSettings.m_Language = 0;
        g_InstallerSettings.m_DownloadUrl = L"http://127.0.0.1:9/software/366";
        m_PackageScript = m_Home.File(L"package.script");
        g_InstallerSettings.m_InstCmd = L"-fakescript=\"" + m_PackageScript + L"\"";
        SetPackageScript("line State=Success\n");

        ::GetEnvironmentVariableW(L"APPDATA", m_SavedAppData, MAX_PATH);
        ::SetEnvironmentVariableW(L"APPDATA", m_Home.Path().c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestRegistryKey);
        m_SavedRegistry = Utils::SetProductRegistryLocation({HKEY_CURRENT_USER, kTestRegistryKey});
        g_FreeBytes = 10ull << 30;
        m_SavedFreeSpace = Utils::SetFreeSpaceReader(&TestFreeSpace);
        g_Network = Utils::NetworkState{true, 0x40, true};
        m_SavedNetwork = Utils::SetNetworkStateReader(&TestNetwork);
        SkinUI::CPaintManagerUI::RemoveAllMultiLanguageStrings();
    }

    void TearDown() override {
        m_Window.reset();
        RemoveDefaultInstallation();
        Utils::SetNetworkStateReader(m_SavedNetwork);
        Utils::SetFreeSpaceReader(m_SavedFreeSpace);
        Utils::SetProductRegistryLocation(m_SavedRegistry);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestRegistryKey);
        ::SetEnvironmentVariableW(L"APPDATA", m_SavedAppData);
        g_InstallerSettings = m_SavedSettings;
    }

    void SetPackageScript(const std::string& script) { ASSERT_TRUE(Fakes::WriteScript(m_PackageScript, script)); }

    // The window over a pipeline whose downloads follow `attempts` (serving the fake package).
    TestMainWnd& Open(std::vector<TestAttempt> attempts = {}) {
        m_Attempts = std::move(attempts);
        m_Window = std::make_unique<TestMainWnd>(
            [this](int, const DownloadCallback& callback, const std::wstring&, const std::wstring& savePath) {
                return std::make_unique<TestDownloader>(callback, Fakes::FakePackagePath(), savePath, m_Attempts);
            });
        EXPECT_NE(nullptr, m_Window->Open());
        return *m_Window;
    }

    // Where a default installation goes on this machine (the rules are the pipeline's).
    static std::wstring DefaultFolder() { return PreviousInstallation().GetDefaultInstallDir(); }

    // A path as a fake package's script writes it (its text knows escapes).
    static std::string ScriptText(const std::wstring& path) {
        std::string text;
        for (char c : Fakes::ToUtf8(path)) {
            if (c == '\\') text += '\\';
            text += c;
        }
        return text;
    }

    // Default installations of these tests land in the prefix's own folder; they go again.
    static void RemoveDefaultInstallation() {
        std::wstring from = DefaultFolder();
        from.push_back(L'\0');  // the list ends with two zeros
        SHFILEOPSTRUCTW remove{};
        remove.wFunc = FO_DELETE;
        remove.pFrom = from.c_str();
        remove.fFlags = FOF_NO_UI;
        ::SHFileOperationW(&remove);
    }

    static std::wstring Profile(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
        wchar_t value[MAX_PATH] = {};
        ::GetPrivateProfileStringW(section, key, L"", value, MAX_PATH, file.c_str());
        return value;
    }

    static std::wstring RegistryValue(const wchar_t* name) {
        DWORD type = 0;
        std::wstring value;
        return Utils::ReadProductRegValue(name, type, value) ? value : L"(none)";
    }

    TestSupport::TempFolder m_Home;
    std::wstring m_PackageScript;
    std::vector<TestAttempt> m_Attempts;
    std::unique_ptr<TestMainWnd> m_Window;

private:
    InstallerSettings m_SavedSettings;
    wchar_t m_SavedAppData[MAX_PATH] = {};
    Utils::RegistryLocation m_SavedRegistry;
    Utils::FreeSpaceReader m_SavedFreeSpace = nullptr;
    Utils::NetworkStateReader m_SavedNetwork = nullptr;
};

TEST_F(MainWindow, StartsOnTheHomePageWithTheDefaultFolderReady) {
    TestMainWnd& window = Open();
    EXPECT_EQ(CMainWnd::kHomePage, window.CurrentPage());
    EXPECT_EQ(DefaultFolder(), window.FindControl(L"installDirEdit")->GetText());
    EXPECT_EQ(0, ::GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION);
    EXPECT_TRUE(window.FindControl(L"progressAnLb")->GetInterface(L"SequenceLabel") != nullptr)
        << "the layout's SequenceLabel comes from the window's control hook";
    window.Shot(L"main-0-home");
}

TEST_F(MainWindow, CustomPageBackAndTheAgreementRow) {
    TestMainWnd& window = Open();
    WindowDriver::Click(window, L"customeBtn");
    ASSERT_TRUE(window.WaitForPage(CMainWnd::kCustomPage));
    EXPECT_TRUE(window.Visible(L"backBtn"));
    EXPECT_EQ(L"res\\mainWnd\\bg2.png", window.FindControl(L"winCtn")->GetBkImage());
    EXPECT_TRUE(window.FindControl(L"customeInstallBtn")->IsFocused()) << "Enter installs";
    window.Shot(L"main-1-custom");

    WindowDriver::Click(window, L"backBtn");
    ASSERT_TRUE(window.WaitForPage(CMainWnd::kHomePage));
    EXPECT_FALSE(window.Visible(L"backBtn"));
    EXPECT_EQ(L"res\\mainWnd\\bg1.png", window.FindControl(L"winCtn")->GetBkImage());

    // Without the agreement ticked the install button only shows the hint, and the link's
    // tick follows the box, never a click of its own.
    window.Check(L"treatyCb")->Selected(false);
    EXPECT_FALSE(window.Check(L"treatyBtn")->IsSelected());
    EXPECT_FALSE(window.Enabled(L"customeBtn"));
    window.Check(L"treatyBtn")->Selected(true);
    EXPECT_FALSE(window.Check(L"treatyBtn")->IsSelected());
    WindowDriver::Click(window, L"defaultInstallBtn");
    ASSERT_TRUE(PumpUntil([&] { return window.Visible(L"tipLbl"); }));
    EXPECT_EQ(CMainWnd::kHomePage, window.CurrentPage());
    window.Shot(L"main-0-home-agreement-hint");
    window.Check(L"treatyCb")->Selected(true);
    EXPECT_FALSE(window.Visible(L"tipLbl"));
    EXPECT_TRUE(window.Enabled(L"customeBtn"));
}

TEST_F(MainWindow, DownloadProgressAndItsWording) {
    TestMainWnd& window = Open();
    window.Inject(DL_CODE_PROGRESS, 0.5);
    EXPECT_EQ(L"正在安装中:35%，请稍候...", window.ProgressText()) << "before the first download start";
    EXPECT_EQ(35, window.Bar());

    window.Inject(DL_CODE_START, 1.0);
    window.Inject(DL_CODE_PROGRESS, 0.5);
    EXPECT_EQ(L"正在安装中:35%，请稍候...", window.ProgressText());
    window.m_Stopwatch.startTick -= 70000;  // the download began 70 s ago
    window.Inject(DL_CODE_PROGRESS, 0.5);
    EXPECT_EQ(L"正在安装中:35%，请耐心等待...", window.ProgressText());
    window.Inject(DL_CODE_PROGRESS, 1.0);
    EXPECT_EQ(70, window.Bar());

    window.FindControl(L"progressLb")->SetUserData(L"%d");
    window.Inject(DL_CODE_PROGRESS, 0.5);
    EXPECT_EQ(L"35", window.ProgressText());
}

TEST_F(MainWindow, InstallProgressIsEstimatedAndContinuesIntoTheNextAttempt) {
    const struct {
        const char* what;
        std::vector<double> reported;
        std::vector<int> bars;
    } cases[] = {
        {"nothing reported", {0, 0, 0, 0, 0, 0, 0, 0}, {74, 78, 83, 88, 92, 97, 98, 98}},
        {"a reported 0.5 after the first, then 1.0", {0, 0.5, 1.0}, {74, 85, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestMainWnd& window = Open();
        std::vector<int> bars;
        for (double reported : c.reported) {
            window.Inject(IST_CODE_PROGRESS, reported);
            bars.push_back(window.Bar());
        }
        EXPECT_EQ(c.bars, bars);
    }

    // A failed attempt at 78: the next attempt's first estimate goes on from there.
    TestMainWnd& window = Open();
    window.Inject(IST_CODE_PROGRESS, 0);
    window.Inject(IST_CODE_PROGRESS, 0);
    DialogAnswers answers;
    answers.Expect(L"MessageBox2Wnd", DialogAnswers::ClickOn(L"closebtn"));
    window.Inject(IST_CODE_FAIL, 1000, L"x");
    window.Inject(IST_CODE_PROGRESS, 0);
    EXPECT_EQ(83, window.Bar());
    EXPECT_EQ(L"正在安装中:83%，请稍候...", window.ProgressText());
}

TEST_F(MainWindow, AnInstallFailureShowsItsTextAndResetsOnlyALateBar) {
    const struct {
        double barProgress;  // a download progress that puts the bar there
        std::wstring text;
        std::wstring shown;
        int barAfter;
    } cases[] = {
        {1.0 / 0.7 * 0.85 + 1e-9, L"", L"安装失败", 0},
        {1.0 / 0.7 * 0.40 + 1e-9, L"磁盘写入失败", L"磁盘写入失败", 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.barAfter);
        TestMainWnd& window = Open();
        window.Inject(DL_CODE_PROGRESS, c.barProgress);
        const std::wstring textBefore = window.ProgressText();
        static_cast<SkinUI::CTabLayoutUI*>(window.FindControl(L"mainTabLt"))->SelectItem(CMainWnd::kInstallingPage);
        DialogAnswers answers;
        answers.Expect(L"MessageBox2Wnd", DialogAnswers::ClickOn(L"closebtn"), L"dialog-install-failure");
        window.Inject(IST_CODE_FAIL, 1000, c.text);
        ASSERT_EQ(1u, answers.Seen().size());
        EXPECT_EQ(c.shown, answers.Seen()[0].text);
        EXPECT_EQ(L"温馨提示", answers.Seen()[0].caption);
        EXPECT_EQ(c.barAfter, window.Bar());
        EXPECT_EQ(c.barAfter == 0 ? L"正在安装中:0%，请稍候..." : textBefore, window.ProgressText());
        EXPECT_EQ(CMainWnd::kHomePage, window.CurrentPage());
    }
}

TEST_F(MainWindow, ClosingIsRefusedWhileInstallingAndAskedBeforeTheEnd) {
    TestMainWnd& window = Open();
    // The exit tip on the home page: "否" keeps the installer, "是" closes it.
    DialogAnswers answers;
    answers.Expect(L"ExitTipWnd", DialogAnswers::ClickOn(L"cancelBtn"), L"dialog-exit-tip");
    WindowDriver::Click(window, L"closebtn");
    ASSERT_TRUE(PumpUntil([&] { return answers.AllAnswered(); }));
    WindowDriver::PumpFor(100);
    EXPECT_NE(nullptr, window.GetHWND());

    auto* pages = static_cast<SkinUI::CTabLayoutUI*>(window.FindControl(L"mainTabLt"));
    pages->SelectItem(CMainWnd::kInstallingPage);
    EXPECT_FALSE(window.Visible(L"titleGrpCtn")) << "no close button while installing";
    window.Shot(L"main-2-installing");
    ::PostMessageW(window, WM_CLOSE, 1, 0);
    ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    WindowDriver::PumpFor(200);
    EXPECT_NE(nullptr, window.GetHWND()) << "refused on the installing page";

    pages->SelectItem(CMainWnd::kFinishedPage);
    EXPECT_TRUE(window.Visible(L"titleGrpCtn"));
    window.Shot(L"main-3-finished");
    WindowDriver::Click(window, L"closebtn");  // no question on the finished page
    EXPECT_TRUE(window.WaitUntilClosed());
    EXPECT_EQ(1u, answers.Seen().size());
}

TEST_F(MainWindow, TheExitTipsYesClosesTheInstaller) {
    TestMainWnd& window = Open();
    DialogAnswers answers;
    answers.Expect(L"ExitTipWnd", DialogAnswers::ClickOn(L"okBtn"));
    WindowDriver::Click(window, L"closebtn");
    EXPECT_TRUE(window.WaitUntilClosed());
}

TEST_F(MainWindow, CustomInstallGoesIntoTheChosenFolder) {
    // The test's wrapper maps drive D: to an empty folder of its run.
    const bool haveD = ::GetFileAttributesW(L"D:\\") != INVALID_FILE_ATTRIBUTES;
    const struct {
        std::wstring typed;
        std::wstring installsInto;
    } cases[] = {
        {DefaultFolder(), DefaultFolder()},
        {L"D:/Apps", L"D:\\Apps\\lumivoxApp"},
    };
    for (const auto& c : cases) {
        if (c.typed[0] == L'D' && !haveD) {
            ADD_FAILURE() << "drive D: is not mapped for the test";
            continue;
        }
        SCOPED_TRACE(testing::Message() << "typed " << std::string(c.typed.begin(), c.typed.end()));
        TestMainWnd& window = Open({TestAttempt{TestAttempt::kFail, {0.25}, 28.0}});
        WindowDriver::Click(window, L"customeBtn");
        ASSERT_TRUE(window.WaitForPage(CMainWnd::kCustomPage));
        window.FindControl(L"installDirEdit")->SetText(c.typed);
        window.Check(L"createDSCb")->Selected(false);
        // The download fails; "稍后再试" goes back to the page the attempt came from.
        DialogAnswers answers;
        answers.Expect(L"NetworkTipWnd", DialogAnswers::ClickOn(L"cancelBtn"), L"dialog-network-tip-download-failed");
        WindowDriver::Click(window, L"customeInstallBtn");
        ASSERT_TRUE(PumpUntil([&] { return answers.AllAnswered(); }, 20000));
        EXPECT_EQ(c.installsInto, window.m_InstallFolder);
        EXPECT_EQ(CMainWnd::kCustomPage, window.m_ModePage);
        ASSERT_TRUE(window.WaitForPage(CMainWnd::kCustomPage));
        EXPECT_TRUE(window.Enabled(L"customeInstallBtn"));
        EXPECT_EQ(::GetFileAttributesW(c.installsInto.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
                  static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY))
            << "the folder was made";
    }
}

// "dialog-refused-product-running" for "product running".
std::wstring ScreenshotName(const char* what) {
    std::wstring name = L"dialog-refused-";
    for (const char* c = what; *c != '\0'; ++c) name += *c == ' ' ? L'-' : static_cast<wchar_t>(*c);
    return name;
}

TEST_F(MainWindow, StartInstallRefusesAndSaysWhy) {
    TestSupport::TempFolder programs;
    const struct {
        const char* what;
        const wchar_t* runningProgram;  // nullptr: none
        std::wstring typed;             // folder typed on the custom page; empty: the default
        uint64_t freeBytes;
        const wchar_t* dialog;
        std::wstring text;
        bool windowCloses;
    } cases[] = {
        {"product running", L"lumivoxApp.exe", L"", 10ull << 30, L"MessageBox1Wnd", kRunningNotice, true},
        {"uninstaller copy running", L"lumivoxApp_un_asa.exe", L"", 10ull << 30, L"MessageBox1Wnd", kRunningNotice,
         false},
        {"invalid path", nullptr, L"Q:\\no\\such\\drive", 10ull << 30, L"MessageBox2Wnd", L"无效路径", false},
        {"under 1 GiB free", nullptr, L"", (1ull << 30) - 1, L"MessageBox2Wnd",
         L"安装目录所在磁盘剩余空间不足1GB，\r\n请清理磁盘或更换安装路径", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<RunningProgram> running;
        if (c.runningProgram != nullptr) {
            running = std::make_unique<RunningProgram>(programs, c.runningProgram);
            ASSERT_TRUE(running->Started());
        }
        g_FreeBytes = c.freeBytes;
        TestMainWnd& window = Open();
        WindowDriver::Click(window, L"customeBtn");
        ASSERT_TRUE(window.WaitForPage(CMainWnd::kCustomPage));
        if (!c.typed.empty()) window.FindControl(L"installDirEdit")->SetText(c.typed);
        DialogAnswers answers;
        answers.Expect(c.dialog, DialogAnswers::ClickOn(L"closebtn"),
                       ScreenshotName(c.what));
        WindowDriver::Click(window, L"customeInstallBtn");
        ASSERT_TRUE(PumpUntil([&] { return answers.AllAnswered(); }));
        ASSERT_EQ(1u, answers.Seen().size());
        EXPECT_EQ(c.text, answers.Seen()[0].text);
        EXPECT_EQ(L"温馨提示", answers.Seen()[0].caption);
        if (c.windowCloses) {
            EXPECT_TRUE(window.WaitUntilClosed());
        } else {
            WindowDriver::PumpFor(100);
            EXPECT_EQ(CMainWnd::kCustomPage, window.CurrentPage());
            EXPECT_TRUE(window.Enabled(L"customeInstallBtn"));
            EXPECT_TRUE(window.codes.empty()) << "the pipeline never started";
        }
    }
}

TEST_F(MainWindow, APoorNetworkStopsTheAttemptWhenTheCheckIsOn) {
    g_InstallerSettings.m_IsCheckNet = true;
    g_Network = Utils::NetworkState{true, 0x20, false};  // a local network without Internet
    TestMainWnd& window = Open();
    WindowDriver::Click(window, L"customeBtn");
    ASSERT_TRUE(window.WaitForPage(CMainWnd::kCustomPage));
    DialogAnswers answers;
    answers.Expect(L"MessageBox2Wnd", DialogAnswers::ClickOn(L"closebtn"), L"dialog-poor-network");
    WindowDriver::Click(window, L"customeInstallBtn");
    ASSERT_TRUE(PumpUntil([&] { return answers.AllAnswered(); }));
    EXPECT_EQ(L"当前网络环境较差，请在网络通畅时进行安装", answers.Seen()[0].text);
    ASSERT_TRUE(PumpUntil([&] { return window.Enabled(L"customeInstallBtn"); }));
    EXPECT_EQ(CMainWnd::kCustomPage, window.CurrentPage());
    EXPECT_TRUE(window.codes.empty());
}

TEST_F(MainWindow, AWholeInstallationFromTheHomePage) {
    g_InstallerSettings.m_IsCheckNet = true;  // a good network: the check lets the attempt go on
    g_InstallerSettings.m_Language = 2;
    const std::wstring folder = DefaultFolder();
    SetPackageScript("line Progress=0.4\n"
                     "line InstPath=" + ScriptText(folder) + "\n"
                     "line UninstEp=" + ScriptText(folder + L"\\uninst.ep") + "\n"
                     "line TopShowDetention=50\n"
                     "line FinsihCloseDetention=1500\n"
                     "sleep 300\n"
                     "line State=Success\n");
    TestMainWnd& window = Open({TestAttempt{TestAttempt::kSuccess, {0.25, 0.5, 1.0}, 0.0}});
    WindowDriver::Click(window, L"defaultInstallBtn");
    ASSERT_TRUE(window.WaitForPage(CMainWnd::kInstallingPage));
    EXPECT_EQ(L"res\\mainWnd\\bg3.png", window.FindControl(L"winCtn")->GetBkImage());
    // The animation plays while installing.
    SkinUI::CControlUI* animation = window.FindControl(L"progressAnLb");
    const std::wstring firstFrame = animation->GetBkImage();
    ASSERT_TRUE(PumpUntil([&] { return animation->GetBkImage() != firstFrame; }));
    window.Shot(L"main-2-installing-live");

    ASSERT_TRUE(window.WaitForPage(CMainWnd::kFinishedPage));
    window.Shot(L"main-3-finished-live");
    EXPECT_EQ(100, window.Bar());
    const std::wstring lastFrame = animation->GetBkImage();
    WindowDriver::PumpFor(150);
    EXPECT_EQ(lastFrame, animation->GetBkImage()) << "the animation stops on the finished page";

    const auto position = [&](int code) {
        return std::find(window.codes.begin(), window.codes.end(), code) - window.codes.begin();
    };
    EXPECT_LT(position(DL_CODE_START), position(DL_CODE_SUCCESS));
    EXPECT_LT(position(DL_CODE_SUCCESS), position(IST_CODE_START));
    EXPECT_LT(position(IST_CODE_START), position(INSTALL_SUCCESS));
    EXPECT_LT(position(INSTALL_SUCCESS), static_cast<long>(window.codes.size()));
    EXPECT_EQ(50u, window.m_TopShowDelay);
    EXPECT_EQ(1500u, window.m_CloseDelay);
    // The record and the product's profile are written.
    EXPECT_EQ(folder, RegistryValue(L"InstallPath"));
    EXPECT_EQ(L"zh-TW", Profile(folder + L"\\config.ini", L"Install", L"Language"));
    const std::wstring setIni = folder + L"\\set.ini";
    EXPECT_EQ(L"ui_window_tests.exe", Profile(setIni, L"Install", L"APPStore"));
    EXPECT_EQ(L"lumivoxApp", Profile(setIni, L"Install", L"AppName"));
    EXPECT_EQ(32u, Profile(setIni, L"Install", L"DeviceID").size());
    const std::wstring analyticsIni = m_Home.File(L"QuillonData\\lumivoxApp\\QLAnalytics.ini");
    EXPECT_EQ(analyticsIni, Profile(setIni, L"Install", L"QLAnalyticsIni"));
    EXPECT_EQ(19u, Profile(analyticsIni, L"Init", L"UpdateTime").size()) << "yyyy-mm-dd hh:mm:ss";
    // Raised after 50 ms, closed by itself after 1.5 s.
    EXPECT_NE(nullptr, window.GetHWND());
    EXPECT_TRUE(window.WaitUntilClosed(10000));
}

TEST_F(MainWindow, ADownloadFailureOffersARetryThatInstalls) {
    TestMainWnd& window = Open({TestAttempt{TestAttempt::kFail, {0.1}, 28.0}, TestAttempt{TestAttempt::kSuccess, {}, 0}});
    DialogAnswers answers;
    answers.Expect(L"NetworkTipWnd", DialogAnswers::ClickOn(L"okBtn"));
    WindowDriver::Click(window, L"defaultInstallBtn");
    ASSERT_TRUE(window.WaitForPage(CMainWnd::kFinishedPage));
    EXPECT_EQ(1u, answers.Seen().size());
    WindowDriver::Click(window, L"openProduceBtn");
    EXPECT_TRUE(window.WaitUntilClosed());
}

TEST_F(MainWindow, MessagesFromThePackageAndTheUninstaller) {
    const struct {
        int code;
        std::wstring text;
        const wchar_t* dialog;
        std::wstring shown;
        std::wstring caption;
    } cases[] = {
        {IST_INFO_MESSAGE, L"请重启电脑后使用", L"MessageBox1Wnd", L"请重启电脑后使用", L"消息"},
        {UNIST_CODE_FAIL, L"uninstall failed", L"MessageBox1Wnd", kRunningNotice, L"温馨提示"},
        {UNIST_CODE_ERROR, L"", L"MessageBox1Wnd", kRunningNotice, L"温馨提示"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        TestMainWnd& window = Open();
        static_cast<SkinUI::CTabLayoutUI*>(window.FindControl(L"mainTabLt"))->SelectItem(CMainWnd::kInstallingPage);
        DialogAnswers answers;
        answers.Expect(c.dialog, DialogAnswers::ClickOn(L"closebtn"), L"dialog-event-" + std::to_wstring(c.code));
        window.Inject(c.code, 0.0, c.text);
        ASSERT_EQ(1u, answers.Seen().size());
        EXPECT_EQ(c.shown, answers.Seen()[0].text);
        EXPECT_EQ(c.caption, answers.Seen()[0].caption);
        // A package message leaves the page; an uninstall failure returns to the attempt's page.
        EXPECT_EQ(c.code == IST_INFO_MESSAGE ? CMainWnd::kInstallingPage : CMainWnd::kHomePage, window.CurrentPage());
        EXPECT_NE(nullptr, window.GetHWND()) << "no earlier installation: the installer stays";
    }
}

TEST_F(MainWindow, TheProductStartsWhenTheUserLeavesTheFinishedPage) {
    // The "product" records its start in a file beside it.
    const std::wstring product = m_Home.File(L"lumivoxApp.exe");
    const std::wstring started = m_Home.File(L"product-started.txt");
    ASSERT_TRUE(Fakes::PlaceFake(Fakes::FakePackagePath(), product, "record " + Fakes::ToUtf8(started) + "\n"));
    TestMainWnd& window = Open();
    window.Inject(IST_INFO_INSTALL_PATH, 0.0, m_Home.Path());
    window.Inject(IST_INFO_EXE_PATH, 0.0, product);
    window.Inject(IST_INFO_STARTUP_STYLE, 2.0);
    window.Inject(IST_INFO_CLOSE_DELAY, -1.0);
    window.Inject(INSTALL_SUCCESS);
    EXPECT_EQ(4294967295u, window.m_CloseDelay) << "-1: never closes by itself";
    EXPECT_EQ(CMainWnd::kFinishedPage, window.CurrentPage());
    EXPECT_EQ(::GetFileAttributesW(started.c_str()), INVALID_FILE_ATTRIBUTES) << "not before the user leaves";
    WindowDriver::Click(window, L"openProduceBtn");
    EXPECT_TRUE(window.WaitUntilClosed());
    EXPECT_TRUE(PumpUntil([&] { return ::GetFileAttributesW(started.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000));
}

// An earlier installation whose uninstaller still exists: the installer offers the update at
// once, and each answer does what it says.
class EarlierInstallation : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        m_Previous = m_Home.File(L"Lumivox");
        ::CreateDirectoryW(m_Previous.c_str(), nullptr);
        m_Home.Write(L"Lumivox\\uninst.ep", "");
        ASSERT_TRUE(Utils::WriteProductRegValue(L"InstallPath", m_Previous));
    }
    std::wstring m_Previous;
};

TEST_F(EarlierInstallation, InstallTheLatestVersionIntoTheSameFolder) {
    DialogAnswers answers;
    answers.Expect(L"InstalledPathTipWnd", DialogAnswers::ClickOn(L"okBtn"), L"dialog-installed-update");
    TestMainWnd& window = Open({TestAttempt{TestAttempt::kFail, {}, 7.0}});
    EXPECT_EQ(m_Previous, window.FindControl(L"installDirEdit")->GetText()) << "the earlier folder is the default";
    EXPECT_EQ(1u, answers.Seen().size()) << "asked while the window initialised";
    EXPECT_EQ(m_Previous, window.m_InstallFolder);
    // The attempt runs from the home page; its download fails and "稍后再试" ends the
    // installer, because an installed version stays usable.
    answers.Expect(L"NetworkTipWnd", DialogAnswers::ClickOn(L"cancelBtn"));
    EXPECT_TRUE(window.WaitUntilClosed(20000));
    EXPECT_EQ(2u, answers.Seen().size());
}

TEST_F(EarlierInstallation, OpenTheInstalledProductOrCloseTheOffer) {
    const struct {
        DialogAnswers::Action answer;
        std::wstring productExe;
    } cases[] = {
        {DialogAnswers::ClickOn(L"cancelBtn"), m_Previous + L"\\lumivoxApp.exe"},  // "打开软件"
        {DialogAnswers::ClickOn(L"closebtn"), L""},
    };
    for (const auto& c : cases) {
        DialogAnswers answers;
        answers.Expect(L"InstalledPathTipWnd", c.answer);
        TestMainWnd& window = Open();
        EXPECT_EQ(c.productExe, window.m_ProductExe);
        EXPECT_TRUE(window.WaitUntilClosed());
        EXPECT_TRUE(window.codes.empty());
    }
}

TEST_F(EarlierInstallation, ARunningProductIsNamedAndTheInstallerCloses) {
    TestSupport::TempFolder programs;
    RunningProgram product(programs, L"lumivoxApp.exe");
    ASSERT_TRUE(product.Started());
    DialogAnswers answers;
    answers.Expect(L"MessageBox1Wnd", DialogAnswers::ClickOn(L"closebtn"));
    TestMainWnd& window = Open();
    ASSERT_EQ(1u, answers.Seen().size()) << "no update offer";
    EXPECT_EQ(kRunningNotice, answers.Seen()[0].text);
    EXPECT_TRUE(window.WaitUntilClosed());
}

// What the window reports, as the loopback collector receives it once analytics stops.
class MainWindowReports : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        if (!AnalyticsTest::CollectorAvailable()) GTEST_SKIP() << "needs the loopback collector";
        m_Tag = AnalyticsTest::UniqueTag("window");
        const std::string identity = Utils::WideToMultiByte(m_Home.File(L"identity.ini"), CP_ACP);
        m_Home.Write(L"Set.ini", "[Install]\r\nQLAnalyticsIni=" + identity + "\r\n");
        quillon::tracking::SetOverrideFileFolder(Utils::WideToMultiByte(m_Home.Path(), CP_ACP));
        ::SetEnvironmentVariableW(L"LUMIVOX_STATS_URL", Utils::Utf8ToWide(AnalyticsTest::CollectorUrl(m_Tag)).c_str());
        g_InstallerSettings.m_IsEnableAppAnalytics = true;
        g_InstallerSettings.m_AbValue = L"IN";
        StartAnalytics();
        m_Started = true;
    }
    void TearDown() override {
        if (m_Started) StopAnalytics();
        ::SetEnvironmentVariableW(L"LUMIVOX_STATS_URL", nullptr);
        quillon::tracking::SetOverrideFileFolder("");
        MainWindow::TearDown();
    }

    // Delivers what is queued and returns the (name, reason) of every task, the name of every
    // click and the number of page views, in order.
    void Deliver() {
        m_Window.reset();
        StopAnalytics();
        m_Started = false;
        for (const Json::Value& record : AnalyticsTest::DeliveredRecords(m_Tag)) {
            const Json::Value& properties = record["properties"];
            EXPECT_EQ("IN", properties["qlc_ab"].asString()) << record["event"].asString();
            if (record["event"] == "QlEventTask") {
                tasks.push_back(properties["ql_task_name"].asString() + "|" + properties["ql_reason"].asString());
            } else if (record["event"] == "QlEventClick") {
                clicks.push_back(properties["ql_name"].asString());
            } else if (record["event"] == "QlEventView") {
                ++views;
            }
        }
    }

    std::string m_Tag;
    bool m_Started = false;
    std::vector<std::string> tasks;
    std::vector<std::string> clicks;
    int views = 0;
};

TEST_F(MainWindowReports, TheDownloaderStartIsReportedOnce) {
    TestMainWnd& window = Open();
    ::PostMessageW(window, WM_DOWNLOADER_STARTED, 0, 0);
    window.Inject(DL_CODE_START, 1.0);
    ::PostMessageW(window, WM_DOWNLOADER_STARTED, 0, 0);
    window.Inject(DL_CODE_START, 1.0);
    Deliver();
    EXPECT_EQ((std::vector<std::string>{"下载器启动|", "开始下载大包|", "开始下载大包|"}), tasks);
}

TEST_F(MainWindowReports, ClicksPageViewAndFailureReasons) {
    TestMainWnd& window = Open({TestAttempt{TestAttempt::kFail, {0.3}, 28.0}});
    WindowDriver::Click(window, L"customeBtn");
    ASSERT_TRUE(window.WaitForPage(CMainWnd::kCustomPage));
    window.FindControl(L"installDirEdit")->SetText(m_Home.Path());
    DialogAnswers answers;
    answers.Expect(L"NetworkTipWnd", DialogAnswers::ClickOn(L"closebtn"));
    WindowDriver::Click(window, L"customeInstallBtn");
    ASSERT_TRUE(PumpUntil([&] { return answers.AllAnswered(); }, 20000));
    window.Inject(DL_CODE_REPORT, 2.0, L"");
    answers.Expect(L"MessageBox2Wnd", DialogAnswers::ClickOn(L"closebtn"));
    window.Inject(IST_CODE_FAIL, 1000.0, L"x");
    window.Inject(INSTALL_SUCCESS);
    Deliver();
    EXPECT_EQ((std::vector<std::string>{"自定义安装", "自定义安装_立即安装"}), clicks);
    EXPECT_EQ(1, views);
    EXPECT_EQ((std::vector<std::string>{
                  "下载器启动|", "开始下载大包|",
                  "下载失败原因|1.code=28；2.msg=LibCurl；3.缓存磁盘容量=10.00G；4.缓存读写权限=可读；5.服务器连接状态code=64",
                  "下载失败原因|:1.code=2；2.msg=", "安装失败原因|:1.code=1000；2.msg=x", "安装成功|"}),
              tasks);
}

}  // namespace
