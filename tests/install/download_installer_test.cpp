#include "install/download_installer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>

#include "app/installer_settings.h"
#include "install/admin_facts.h"
#include "tests/install/event_recorder.h"
#include "tests/install/pipeline_sandbox.h"
#include "tests/install/test_downloader.h"
#include "tests/support/temp_folder.h"
#include "tests/support/trace_capture.h"
#include "tools/fakes/fake_script.h"
#include "utils/folder_helpers.h"
#include "utils/process_lookup.h"
#include "utils/win_handle.h"

namespace {

using TestSupport::TempFolder;
using Codes = std::vector<int>;

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring MissingDrive() {
    const DWORD drives = ::GetLogicalDrives();
    for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter) {
        if ((drives & (1u << (letter - L'A'))) == 0) return std::wstring(1, letter) + L":";
    }
    return L"?:";
}

// One pipeline over a test downloader that "downloads" the fake package. The package follows
// the script named by the settings' extra switches, since its folder does not exist before
// the download; the uninstaller's working copy follows the script beside it.
class Pipeline : public ::testing::Test {
protected:
    void SetUp() override {
        m_Sandbox.emplace(m_Folder.Path());
        m_InstallDir = m_Folder.File(L"Program Files\\lumivoxApp");
        m_PackageScript = m_Folder.File(L"package.script");
        g_InstallerSettings.m_InstCmd = L"-fakescript=\"" + m_PackageScript + L"\"";
        g_InstallerSettings.m_InsNew = false;
        SetPackageScript("line Progress=0.6\nline State=Success\n");
    }
    void TearDown() override {
        m_Pipeline.reset();
        m_Sandbox.reset();
    }

    void SetPackageScript(const std::string& script) { ASSERT_TRUE(Fakes::WriteScript(m_PackageScript, script)); }
    static std::wstring UninstallerCopy() { return UninstallerCopyPathIn(Utils::GetWorkTempFolder()); }

    // A previous version in "<temp>\Old Version" whose uninstaller follows `script`.
    std::wstring PlacePreviousVersion(const std::string& script) {
        ::CreateDirectoryW(m_Folder.File(L"Old Version").c_str(), nullptr);
        const std::wstring uninstaller = m_Folder.File(L"Old Version\\uninst.ep");
        EXPECT_TRUE(::CopyFileW(Fakes::FakeUninstallerPath().c_str(), uninstaller.c_str(), FALSE));
        EXPECT_TRUE(Fakes::WriteScript(Fakes::ScriptPathFor(UninstallerCopy()), script));
        return uninstaller;
    }

    CDownloadInstaller& Make(std::vector<TestAttempt> attempts, const std::wstring& uninstallerPath = L"") {
        m_Attempts = std::move(attempts);
        m_Pipeline = std::make_unique<CDownloadInstaller>(
            m_Recorder.Callback(), L"http://127.0.0.1:9/software/366", uninstallerPath, m_InstallDir, true, true, true,
            [this](int type, const DownloadCallback& callback, const std::wstring& url, const std::wstring& savePath) {
                ++m_FactoryCalls;
                m_FactoryType = type;
                m_FactoryUrl = url;
                m_FactorySavePath = savePath;
                auto downloader = std::make_unique<TestDownloader>(callback, Fakes::FakePackagePath(), savePath, m_Attempts);
                m_Downloader = downloader.get();
                return downloader;
            });
        m_Pipeline->SetParams(L"http://127.0.0.1:9/software/366", uninstallerPath, m_InstallDir, true, false, true,
                              true, L"zh-CN");
        return *m_Pipeline;
    }

    // Destroys the pipeline, which waits for everything it started.
    void Finish() { m_Pipeline.reset(); }

    static std::vector<TestAttempt> OneGoodDownload() { return {TestAttempt{TestAttempt::kSuccess, {0.5}, 0.0}}; }

    std::optional<PipelineSandbox> m_Sandbox;
    TempFolder m_Folder;
    std::wstring m_InstallDir;
    std::wstring m_PackageScript;
    EventRecorder m_Recorder;
    std::vector<TestAttempt> m_Attempts;
    std::unique_ptr<CDownloadInstaller> m_Pipeline;
    TestDownloader* m_Downloader = nullptr;
    int m_FactoryCalls = 0;
    int m_FactoryType = -1;
    std::wstring m_FactoryUrl;
    std::wstring m_FactorySavePath;
};

TEST(PipelinePaths, PackageAndUninstallerCopy) {
    EXPECT_EQ(PackagePathFor(L"D:\\Apps\\lumivoxApp"), L"D:\\Apps\\lumivoxApp\\__Package_lumivoxApp.exe");
    EXPECT_EQ(UninstallerCopyPathIn(L"C:\\Temp\\~QuillonTemp.92482B06FB471E17\\"),
              L"C:\\Temp\\~QuillonTemp.92482B06FB471E17\\\\lumivoxApp_un_asa.exe");
    EXPECT_EQ(UninstallerCopyPathIn(L""), L"") << "never a path at the root of a drive";
}

TEST_F(Pipeline, FirstInstallDownloadsIntoTheNewFolderRunsThePackageAndRemovesIt) {
    TestSupport::TraceCapture capture;
    CDownloadInstaller& pipeline = Make(OneGoodDownload());
    pipeline.Start();
    ASSERT_TRUE(m_Recorder.WaitFor(INSTALL_SUCCESS));
    Finish();

    EXPECT_EQ(m_Recorder.Codes(), (Codes{1001, 1002, 1003, 2001, 2002, 2002, 2003}));
    EXPECT_EQ(m_Recorder.Events()[5], (RecordedEvent{2002, 0.6, L""}));
    EXPECT_TRUE(Exists(m_InstallDir)) << "made at the download's start";
    const std::wstring package = m_InstallDir + L"\\__Package_lumivoxApp.exe";
    EXPECT_FALSE(Exists(package));
    EXPECT_EQ(CDownloadInstaller::LastPackagePath(), package);
    EXPECT_EQ(m_FactoryCalls, 1);
    EXPECT_EQ(m_FactoryUrl, L"http://127.0.0.1:9/software/366");
    EXPECT_EQ(m_FactorySavePath, package);

    const struct {
        const wchar_t* line;
        size_t count;
    } traces[] = {
        {L"(CDownloadInstaller::Start)<0189>: DL_TYPE=1\r\n", 1},
        {L"(CDownloadInstaller::Start::DownloadHandler)<0074>: DL_CODE_START\r\n", 1},
        {L"(CDownloadInstaller::Start::DownloadHandler)<0079>: DL_CODE_PROGRESS\r\n", 1},
        {L"(CDownloadInstaller::Start::DownloadHandler)<0084>: DOWNLOAD_SUCCESS\r\n", 1},
        {L"(CDownloadInstaller::Start::DownloadHandler)<0109>: DL_CODE_SUCCESS\r\n", 1},
        {L"(CDownloadInstaller::Start::InstallHandler)<0155>: IST_CODE_START\r\n", 1},
        {L"(CDownloadInstaller::Start::InstallHandler)<0160>: IST_CODE_PROGRESS\r\n", 2},
        {L"(CDownloadInstaller::Start::InstallHandler)<0171>: INSTALL_SUCCESS\r\n", 1},
    };
    for (const auto& trace : traces) {
        EXPECT_EQ(capture.LinesContaining(trace.line).size(), trace.count) << Fakes::ToUtf8(trace.line);
    }
}

// A package that reports success and runs on while its own file is in use: the file cannot
// go at the end of the attempt, so it goes when the package has ended.
TEST_F(Pipeline, APackageRunningOnAfterSuccessLeavesNoPackageFile) {
    const std::wstring package = m_InstallDir + L"\\__Package_lumivoxApp.exe";
    SetPackageScript("hold " + Fakes::ToUtf8(package) + "\nline State=Success\nsleep 2000\n");
    Make(OneGoodDownload()).Start();
    ASSERT_TRUE(m_Recorder.WaitFor(INSTALL_SUCCESS));
    Finish();
    EXPECT_EQ(m_Recorder.Codes(), (Codes{1001, 1002, 1003, 2001, 2002, 2003})) << "events as before";
    EXPECT_FALSE(Exists(package));
}

TEST_F(Pipeline, PreviousVersionIsUninstalledFromACopyBeforeTheDownload) {
    TestSupport::TraceCapture capture;
    const std::wstring record = m_Folder.File(L"uninstaller command line.txt");
    const std::wstring uninstaller = PlacePreviousVersion("record " + Fakes::ToUtf8(record) +
                                                          "\nline Progress=0.5\nline State=Success\n");
    Make(OneGoodDownload(), uninstaller).Start();
    ASSERT_TRUE(m_Recorder.WaitFor(INSTALL_SUCCESS));
    Finish();

    EXPECT_EQ(m_Recorder.Codes(), (Codes{5002, 5002, 5003, 1001, 1002, 1003, 2001, 2002, 2002, 2003}));
    EXPECT_EQ(Fakes::ReadBytes(record),
              Fakes::ToUtf8(L"\"" + UninstallerCopy() + L"\" /S -adminact=true -authorizationact=true -console=show _?=" +
                            m_Folder.File(L"Old Version")));
    EXPECT_EQ(capture.LinesContaining(L"(CDownloadInstaller::Start::UninstallHandler)<0124>: UNIST_CODE_PROGRESS\r\n").size(), 2u);
    EXPECT_EQ(capture.LinesContaining(L"(CDownloadInstaller::Start::UninstallHandler)<0129>: UNIST_CODE_SUCCESS\r\n").size(), 1u);
}

TEST_F(Pipeline, AMissingUninstallerMeansStraightToTheDownload) {
    Make(OneGoodDownload(), m_Folder.File(L"Old Version\\uninst.ep")).Start();
    ASSERT_TRUE(m_Recorder.WaitFor(INSTALL_SUCCESS));
    Finish();
    EXPECT_EQ(m_Recorder.Codes(), (Codes{1001, 1002, 1003, 2001, 2002, 2002, 2003}));
}

TEST_F(Pipeline, AFailedUninstallStopsThePipeline) {
    TestSupport::TraceCapture capture;
    const std::wstring uninstaller = PlacePreviousVersion("line State=Fail\n");
    Make(OneGoodDownload(), uninstaller).Start();
    ASSERT_TRUE(m_Recorder.WaitFor(UNIST_CODE_ERROR));
    ASSERT_NE(m_Downloader, nullptr);
    EXPECT_EQ(m_Downloader->Starts(), 0) << "nothing is downloaded";
    Finish();
    EXPECT_EQ(m_Recorder.Codes(), (Codes{5002, 5005}));
    EXPECT_EQ(capture.LinesContaining(L"(CDownloadInstaller::Start::UninstallHandler)<0142>: UNIST_CODE_ERROR\r\n").size(), 1u);
}

// Without a working temp folder there is no copy to run: reported as a missing copy, and no
// file is ever made at the root of the current drive.
TEST_F(Pipeline, NoWorkingFolderMeansAMissingCopy) {
    TestSupport::TraceCapture capture;
    const std::wstring uninstaller = PlacePreviousVersion("line State=Success\n");
    const std::wstring missing = MissingDrive() + L"\\Missing\\";
    ::SetEnvironmentVariableW(L"TMP", missing.c_str());  // restored by TearDown
    ::SetEnvironmentVariableW(L"TEMP", missing.c_str());
    ASSERT_TRUE(Utils::GetWorkTempFolder().empty());
    Make(OneGoodDownload(), uninstaller).Start();
    ASSERT_TRUE(m_Recorder.WaitFor(UNIST_CODE_FAIL));
    Finish();

    EXPECT_EQ(m_Recorder.Events(), (std::vector<RecordedEvent>{{5004, 1.0, L"可执行卸载文件不存在"}}));
    EXPECT_FALSE(Exists(L"\\lumivoxApp_un_asa.exe"));
    EXPECT_FALSE(Exists(L"\\\\lumivoxApp_un_asa.exe"));
    EXPECT_EQ(capture.LinesContaining(L"(CDownloadInstaller::Start::UninstallHandler)<0136>: UNIST_CODE_FAIL\r\n").size(), 1u);
}

TEST_F(Pipeline, ARetryIsANewAttemptOfTheSameDownloader) {
    TestSupport::TraceCapture capture;
    Make({TestAttempt{TestAttempt::kRetry, {}, 0.0}, TestAttempt{TestAttempt::kSuccess, {1.0}, 0.0}}).Start();
    ASSERT_TRUE(m_Recorder.WaitFor(INSTALL_SUCCESS));
    Finish();
    EXPECT_EQ(m_Recorder.Codes(), (Codes{1001, 1005, 1001, 1002, 1003, 2001, 2002, 2002, 2003}));
    EXPECT_EQ(m_FactoryCalls, 1);
    EXPECT_EQ(capture.LinesContaining(L"(CDownloadInstaller::Start::DownloadHandler)<0101>: DL_CODE_RETRY\r\n").size(), 1u);
}

// A failed download removes the package file; the window's retry starts the same downloader
// and the same package runner again, and every ended attempt removes the file the one before
// it left in another folder.
TEST_F(Pipeline, AFailedDownloadLeavesNoFileAndCanBeRetried) {
    TestSupport::TraceCapture capture;
    const std::wstring firstPackage = m_InstallDir + L"\\__Package_lumivoxApp.exe";
    CDownloadInstaller& pipeline = Make({TestAttempt{TestAttempt::kFail, {0.3}, 28.0}, TestAttempt{}});
    Utils::CreateDirectoryTree(m_InstallDir);
    m_Folder.Write(L"Program Files\\lumivoxApp\\__Package_lumivoxApp.exe", "partial");
    pipeline.Start();
    ASSERT_TRUE(m_Recorder.WaitFor(DL_CODE_FAIL));
    m_Downloader->WaitForAttempts();  // the handler has acted
    EXPECT_FALSE(Exists(firstPackage));
    EXPECT_EQ(m_Recorder.Events().back(), (RecordedEvent{1004, 28.0, L"LibCurl"}));

    // The same attempt's file, left behind again, goes at the end of the next attempt.
    m_Folder.Write(L"Program Files\\lumivoxApp\\__Package_lumivoxApp.exe", "left behind");
    const std::wstring otherDir = m_Folder.File(L"Other\\lumivoxApp");
    pipeline.SetParams(L"http://127.0.0.1:9/software/366", L"", otherDir, false, false, false, true, L"");
    pipeline.Start();
    ASSERT_TRUE(m_Recorder.WaitFor(INSTALL_SUCCESS));
    EXPECT_EQ(m_Downloader->Starts(), 2);
    Finish();

    EXPECT_EQ(m_Recorder.Codes(), (Codes{1001, 1002, 1004, 1001, 1003, 2001, 2002, 2002, 2003}));
    EXPECT_EQ(m_FactoryCalls, 1) << "the downloader made at the first start is kept";
    EXPECT_FALSE(Exists(firstPackage));
    EXPECT_EQ(CDownloadInstaller::LastPackagePath(), otherDir + L"\\__Package_lumivoxApp.exe");
    EXPECT_EQ(capture.LinesContaining(L"(CDownloadInstaller::Start::DownloadHandler)<0095>: DL_CODE_FAIL\r\n").size(), 1u);
}

TEST_F(Pipeline, TheDownloadTypeGoesToTheFactoryUnchanged) {
    size_t attempts = 0;
    for (int type : {0, 1, 2, 3, 7}) {
        g_InstallerSettings.m_DownloadType = type;
        m_FactoryType = -1;
        Make({TestAttempt{TestAttempt::kFail, {}, 1.0}}).Start();
        ASSERT_TRUE(m_Recorder.WaitFor(DL_CODE_FAIL, ++attempts));
        Finish();
        EXPECT_EQ(m_FactoryType, type);
    }
}

// The product that started this installer for an update may still run: Start waits until it
// has exited, and at most for the bound.
class RunningProduct : public Pipeline {
protected:
    void SetUp() override {
        Pipeline::SetUp();
        g_InstallerSettings.m_InsNew = true;
        m_Release = m_Folder.File(L"release product");
    }
    void TearDown() override {
        Fakes::WriteScript(m_Release, "");
        if (m_Product.valid()) ::WaitForSingleObject(m_Product.get(), 60000);  // bounded: ends on release
        Pipeline::TearDown();
    }
    // Starts a program named "lumivoxApp.exe" that runs for `milliseconds`, or with 0 until
    // the test releases it.
    void StartProduct(unsigned milliseconds) {
        const std::wstring product = m_Folder.File(L"lumivoxApp.exe");
        ASSERT_TRUE(Fakes::PlaceFake(Fakes::FakePackagePath(), product,
                                     milliseconds > 0 ? "sleep " + std::to_string(milliseconds) + "\n"
                                                      : "waitfile " + Fakes::ToUtf8(m_Release) + "\n"));
        std::wstring commandLine = L"\"" + product + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION information{};
        ASSERT_TRUE(::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                     &information));
        m_Product.reset(information.hProcess);
        ::CloseHandle(information.hThread);
        for (int i = 0; i < 100 && Utils::FindProcessByName(L"lumivoxApp.exe") == 0; ++i) ::Sleep(100);
        ASSERT_NE(Utils::FindProcessByName(L"lumivoxApp.exe"), 0u);
    }

    std::wstring m_Release;
    Utils::UniqueHandle m_Product;
};

TEST_F(RunningProduct, StartReturnsOnceTheProductHasExited) {
    const std::wstring uninstaller = PlacePreviousVersion("line State=Success\n");
    StartProduct(1500);
    Make(OneGoodDownload(), uninstaller).Start();
    EXPECT_EQ(::WaitForSingleObject(m_Product.get(), 0), WAIT_OBJECT_0) << "the product had ended";
    ASSERT_TRUE(m_Recorder.WaitFor(INSTALL_SUCCESS));
}

TEST_F(RunningProduct, AProductThatNeverExitsIsAwaitedOnlyUpToTheBound) {
    const std::wstring uninstaller = PlacePreviousVersion("line State=Success\n");
    StartProduct(0);
    CDownloadInstaller& pipeline = Make(OneGoodDownload(), uninstaller);
    pipeline.SetRunningProductWaitLimit(1000);
    pipeline.Start();
    EXPECT_EQ(::WaitForSingleObject(m_Product.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running";
    ASSERT_TRUE(m_Recorder.WaitFor(INSTALL_SUCCESS)) << "the uninstall went ahead";
}

TEST_F(RunningProduct, WithoutTheUpdateSwitchNothingWaits) {
    g_InstallerSettings.m_InsNew = false;
    const std::wstring uninstaller = PlacePreviousVersion("line State=Success\n");
    StartProduct(0);
    Make(OneGoodDownload(), uninstaller).Start();
    ASSERT_TRUE(m_Recorder.WaitFor(INSTALL_SUCCESS));
    EXPECT_EQ(::WaitForSingleObject(m_Product.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

}  // namespace
