#include "install/uninstaller.h"

#include <gtest/gtest.h>

#include "install/admin_facts.h"
#include "tests/install/event_recorder.h"
#include "tests/support/temp_folder.h"
#include "tools/fakes/fake_script.h"

namespace {

using TestSupport::TempFolder;
using Events = std::vector<RecordedEvent>;

AdminFacts ElevatedOtherAccount() { return AdminFacts{false, true}; }

TEST(UninstallerCommandLine, ItsOwnPathQuotedAndTheFolderUnquotedAndLast) {
    EXPECT_EQ(BuildUninstallerCommandLine(L"C:\\Documents and Settings\\u\\Temp\\~QuillonTemp.92482B06FB471E17\\\\"
                                          L"lumivoxApp_un_asa.exe",
                                          true, false, L"C:\\Program Files\\lumivoxApp"),
              L"\"C:\\Documents and Settings\\u\\Temp\\~QuillonTemp.92482B06FB471E17\\\\lumivoxApp_un_asa.exe\" /S "
              L"-adminact=true -authorizationact=false -console=show _?=C:\\Program Files\\lumivoxApp");
}

TEST(UnInstallerParse, EachKeyAndItsEvent) {
    struct Case {
        std::wstring line;
        Events events;
        int result;
    } cases[] = {
        {L"Progress=0.4", {{5002, 0.4, L""}}, 0},
        {L"Progress=", {{5002, 0.0, L""}}, 0},
        {L"Error=files in use", {{5005, 0.0, L"files in use"}}, 1000},
        {L"Error=files in use\r", {{5005, 0.0, L"files in use"}}, 1000},
        {L"State= Success ", {{5003, 0.0, L""}}, 1},
        {L"State=Fail", {{5005, 0.0, L"安装包卸载失败"}}, 1000},
        {L"State=success", {}, 0},
        {L"State=Busy", {}, 0},
        {L"Message=ignored here", {}, 0},
        {L"InstPath=ignored here", {}, 0},
        {L"Encode=UTF8", {}, 0},
    };
    for (const Case& c : cases) {
        EventRecorder recorder;
        UnInstaller uninstaller(recorder.Callback(), L"u.exe", L"C:\\old");
        EXPECT_EQ(uninstaller.Parse(c.line), c.result) << "case " << (&c - cases);
        EXPECT_EQ(recorder.Events(), c.events) << "case " << (&c - cases);
    }
}

class UninstallRun : public ::testing::Test {
protected:
    void SetUp() override { m_PreviousReader = SetAdminFactsReader(&ElevatedOtherAccount); }
    void TearDown() override { SetAdminFactsReader(m_PreviousReader); }

    // A working copy of the fake uninstaller, in a folder with blanks in its name.
    std::wstring PlaceUninstaller(const std::string& script) {
        ::CreateDirectoryW(m_Folder.File(L"Temp Folder").c_str(), nullptr);
        const std::wstring path = m_Folder.File(L"Temp Folder\\lumivoxApp_un_asa.exe");
        EXPECT_TRUE(Fakes::PlaceFake(Fakes::FakeUninstallerPath(), path, script));
        return path;
    }
    Events RunToEnd(const std::wstring& uninstallerPath, const std::wstring& previousDir = L"C:\\Old Place") {
        {
            UnInstaller uninstaller(m_Recorder.Callback(), uninstallerPath, previousDir);
            uninstaller.Start();
        }  // waits for the worker
        return m_Recorder.Events();
    }

    TempFolder m_Folder;
    EventRecorder m_Recorder;
    AdminFactsReader m_PreviousReader = nullptr;
};

TEST_F(UninstallRun, TheUninstallerGetsItsQuotedPathAndTheFolderLast) {
    const std::wstring record = m_Folder.File(L"command line.txt");
    const std::wstring uninstaller = PlaceUninstaller("record " + Fakes::ToUtf8(record) + "\nline State=Success\n");
    EXPECT_EQ(RunToEnd(uninstaller, L"C:\\Program Files\\lumivoxApp"), (Events{{5002, 0.0, L""}, {5003, 0.0, L""}}));
    EXPECT_EQ(Fakes::ReadBytes(record),
              Fakes::ToUtf8(L"\"" + uninstaller +
                            L"\" /S -adminact=false -authorizationact=true -console=show _?=C:\\Program Files\\lumivoxApp"));
}

TEST_F(UninstallRun, ProgressThenAnEndWithoutStateIsASuccess) {
    EXPECT_EQ(RunToEnd(PlaceUninstaller("line Progress=0.5\nexit 2\n")),
              (Events{{5002, 0.0, L""}, {5002, 0.5, L""}, {5003, 1.0, L""}}));
}

TEST_F(UninstallRun, AFailStateEndsItAsAnError) {
    EXPECT_EQ(RunToEnd(PlaceUninstaller("line State=Fail\n")), (Events{{5002, 0.0, L""}, {5005, 0.0, L"安装包卸载失败"}}));
}

TEST_F(UninstallRun, AMissingCopyIsReportedWithOne) {
    const Events missing{{5004, 1.0, L"可执行卸载文件不存在"}};
    EXPECT_EQ(RunToEnd(m_Folder.File(L"gone.exe")), missing);
    EventRecorder empty;
    {
        UnInstaller uninstaller(empty.Callback(), L"", L"C:\\old");  // no working folder, no copy
        uninstaller.Start();
    }
    EXPECT_EQ(empty.Events(), missing);
}

TEST_F(UninstallRun, ACommandLineThatDoesNotFitIsAStartFailure) {
    EXPECT_EQ(RunToEnd(PlaceUninstaller("line State=Success\n"), L"C:\\" + std::wstring(1000, L'd')),
              (Events{{5002, 0.0, L""}, {5004, 2.0, L""}}));
}

// "Success" is final at once; the uninstaller's later output is still read and no second
// success follows when it ends.
TEST_F(UninstallRun, SuccessWhileItKeepsRunningIsReportedOnce) {
    const std::wstring release = m_Folder.File(L"release");
    const std::wstring uninstaller = PlaceUninstaller("line State=Success\nstderr 1048576\nreadstdin\nwaitfile " +
                                                      Fakes::ToUtf8(release) + "\nline Progress=0.9\n");
    {
        UnInstaller running(m_Recorder.Callback(), uninstaller, L"C:\\old");
        running.Start();
        ASSERT_TRUE(m_Recorder.WaitFor(5003));
        Fakes::WriteScript(release, "");
    }
    EXPECT_EQ(m_Recorder.Events(), (Events{{5002, 0.0, L""}, {5003, 0.0, L""}, {5002, 0.9, L""}}));
}

// Only "UTF8" switches the uninstaller's stream to UTF-8; "ACP" or a number mean ANSI.
TEST_F(UninstallRun, EncodeKnowsOnlyUtf8) {
    EXPECT_EQ(RunToEnd(PlaceUninstaller("line Encode=UTF8\nline Error=文件被占用\n")),
              (Events{{5002, 0.0, L""}, {5005, 0.0, L"文件被占用"}}));

    EventRecorder recorder;
    {
        UnInstaller uninstaller(recorder.Callback(), PlaceUninstaller("line Encode=UTF8\nline Encode=65001\n"
                                                                       "line Error=\\xE6\\x96\\x87\n"),
                                L"C:\\old");
        uninstaller.Start();
    }
    char ansi[] = "\xE6\x96\x87";
    wchar_t expected[8] = {};
    ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, expected, 8);
    EXPECT_EQ(recorder.Events(), (Events{{5002, 0.0, L""}, {5005, 0.0, expected}}))
        << "a number sets the ANSI code page";
}

}  // namespace
