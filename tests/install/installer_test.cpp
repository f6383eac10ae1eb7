#include "install/installer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "app/installer_settings.h"
#include "tests/install/event_recorder.h"
#include "tests/support/temp_folder.h"
#include "tests/support/trace_capture.h"
#include "tools/fakes/fake_script.h"

namespace {

using TestSupport::TempFolder;
using Events = std::vector<RecordedEvent>;

TEST(PackageCommandLine, EveryPieceInItsPlace) {
    struct Case {
        const char* name;
        bool adminAct, authorizationAct, dsc, ssc;
        std::wstring insLang, instCmd, installDir, expected;
    } cases[] = {
        {"optional pieces absent: the line ends at -ssc", false, true, true, false, L"", L"", L"",
         L"\"C:\\p.exe\" /S -console=show -version=1.0.0 -adminact=false -authorizationact=true -dsc=true -ssc=false"},
        {"every piece", true, false, false, true, L"zh-CN", L"-channel=7 -x", L"D:\\Apps\\lumivoxApp",
         L"\"C:\\p.exe\" /S -console=show -version=1.0.0 -adminact=true -authorizationact=false -dsc=false -ssc=true"
         L" -inslang=\"zh-CN\" -channel=7 -x -instdir=\"D:\\Apps\\lumivoxApp\" /D=D:\\Apps\\lumivoxApp"},
        {"folder with blanks: quoted after -instdir, unquoted and last after /D", false, false, false, false, L"",
         L"", L"C:\\Program Files (x86)\\lumivoxApp",
         L"\"C:\\p.exe\" /S -console=show -version=1.0.0 -adminact=false -authorizationact=false -dsc=false -ssc=false"
         L" -instdir=\"C:\\Program Files (x86)\\lumivoxApp\" /D=C:\\Program Files (x86)\\lumivoxApp"},
        {"language only", false, false, false, false, L"en-US", L"", L"",
         L"\"C:\\p.exe\" /S -console=show -version=1.0.0 -adminact=false -authorizationact=false -dsc=false -ssc=false"
         L" -inslang=\"en-US\""},
        {"extra switches only", false, false, false, false, L"", L"-q", L"",
         L"\"C:\\p.exe\" /S -console=show -version=1.0.0 -adminact=false -authorizationact=false -dsc=false -ssc=false"
         L" -q"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildPackageCommandLine(L"\"C:\\p.exe\"", c.adminAct, c.authorizationAct, c.dsc, c.ssc, c.insLang,
                                          c.instCmd, c.installDir),
                  c.expected)
            << c.name;
    }
}

TEST(CInstallerParse, EachKeyAndItsEvent) {
    struct Case {
        std::wstring line;
        Events events;
        int result;
    } cases[] = {
        {L"Progress=0.5", {{2002, 0.5, L""}}, 0},
        {L"Progress=soon", {{2002, 0.0, L""}}, 0},
        {L"InstPath=D:\\Apps\\lumivoxApp", {{3000, 0.0, L"D:\\Apps\\lumivoxApp"}}, 0},
        {L"InstPath=", {{3000, 0.0, L""}}, 0},
        {L"State=Success", {{2003, 0.0, L""}}, 1},
        {L"State=  Success \t", {{2003, 0.0, L""}}, 1},
        {L"State=success", {}, 0},
        {L"State=Fail", {{2004, 0.0, L"安装包安装失败"}}, 1000},
        {L"State=Running", {}, 0},
        {L"InstallVersion=1.7.9", {}, 0},
        {L"ExePath=C:\\a\\lumivoxApp.exe", {{3001, 0.0, L"C:\\a\\lumivoxApp.exe"}}, 0},
        {L"StartExe=C:\\a\\b.exe", {{3001, 0.0, L"C:\\a\\b.exe"}}, 0},
        {L"UninstExePath=C:\\a\\u.exe", {{3002, 0.0, L"C:\\a\\u.exe"}}, 0},
        {L"UninstExe=C:\\a\\v.exe", {{3002, 0.0, L"C:\\a\\v.exe"}}, 0},
        {L"UninstEp=C:\\a\\uninst.ep", {{3003, 0.0, L"C:\\a\\uninst.ep"}}, 0},
        {L"Error=disk full", {{2004, 1000.0, L"disk full"}}, 1000},
        {L"TopShowDetention=-1", {{3007, 4294967295.0, L""}}, 0},
        {L"TopShowDetention=1500", {{3007, 1500.0, L""}}, 0},
        {L"FinsihCloseDetention=3000", {{3008, 3000.0, L""}}, 0},
        {L"FinsihCloseDetention=x", {{3008, 0.0, L""}}, 0},
        {L"StartUrl=https://example.invalid/welcome", {{3004, 0.0, L"https://example.invalid/welcome"}}, 0},
        {L"StartupStyle=NonStartup", {{3005, 0.0, L""}}, 0},
        {L"StartupStyle= AutoStartup ", {{3005, 1.0, L""}}, 0},
        {L"StartupStyle=UserStartup", {{3005, 2.0, L""}}, 0},
        {L"StartupStyle=Later", {{3005, 0.0, L""}}, 0},
        {L"Message=你好", {{3009, 0.0, L"你好"}}, 0},
        {L"Message=C:\\x\r", {{3009, 0.0, L"C:\\x"}}, 0},
        {L"progress=0.5", {}, 0},
        {L"MESSAGE=loud", {}, 0},
        {L"Encode=UTF8", {}, 0},
        {L"no key at all", {}, 0},
    };
    for (const Case& c : cases) {
        EventRecorder recorder;
        CInstaller installer(recorder.Callback(), L"\"p.exe\"", L"");
        EXPECT_EQ(installer.Parse(c.line), c.result) << "case " << (&c - cases);
        EXPECT_EQ(recorder.Events(), c.events) << "case " << (&c - cases);
    }
}

TEST(CInstallerParse, LinesAfterAFinalStateStillCountAndTheLastFinalStateWins) {
    EventRecorder recorder;
    CInstaller installer(recorder.Callback(), L"\"p.exe\"", L"");
    EXPECT_EQ(installer.Parse(L"State=Success\nMessage=done\n"), 1);
    EXPECT_EQ(installer.Parse(L"Error=late\nState=Success\n"), 1);
    EXPECT_EQ(installer.Parse(L"State=Success\nState=Fail"), 1000);
    EXPECT_EQ(recorder.Codes(), (std::vector<int>{2003, 3009, 2004, 2003, 2003, 2004}));
}

TEST(CInstallerParse, ExePathIsTraced) {
    TestSupport::TraceCapture capture;
    EventRecorder recorder;
    CInstaller installer(recorder.Callback(), L"\"p.exe\"", L"");
    installer.Parse(L"ExePath=C:\\Apps\\lumivoxApp\\lumivoxApp.exe\n");
    const auto lines = capture.LinesContaining(L"(CInstaller::Parse)<0207>: ExePath: ");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(lines[0].find(L"ExePath: ")), L"ExePath: C:\\Apps\\lumivoxApp\\lumivoxApp.exe");
}

// Runs the fake package with `script` the way the pipeline runs a package, and returns the
// events once the runner has finished.
class PackageRun : public ::testing::Test {
protected:
    std::wstring PlacePackage(const std::string& script, const std::wstring& name = L"__Package_lumivoxApp.exe") {
        const std::wstring path = m_Folder.File(name);
        EXPECT_TRUE(Fakes::PlaceFake(Fakes::FakePackagePath(), path, script));
        return path;
    }

    TempFolder m_Folder;
    EventRecorder m_Recorder;
};

TEST_F(PackageRun, ProgressThenSuccessEndsWithoutASecondSuccess) {
    {
        CInstaller installer(m_Recorder.Callback(), L"\"" + PlacePackage("line Progress=0.5\nline State=Success\n") + L"\"",
                             L"");
        installer.Start();
    }
    EXPECT_EQ(m_Recorder.Events(), (Events{{2001, 0.0, L""}, {2002, 0.0, L""}, {2002, 0.5, L""}, {2003, 0.0, L""}}));
}

TEST_F(PackageRun, APackageThatSaysNothingCountsAsASuccess) {
    {
        CInstaller installer(m_Recorder.Callback(), L"\"" + PlacePackage("exit 3\n") + L"\"", L"");
        installer.Start();
    }
    EXPECT_EQ(m_Recorder.Events(), (Events{{2001, 0.0, L""}, {2002, 0.0, L""}, {2003, 1.0, L""}}));
}

TEST_F(PackageRun, ACrashingPackageWithoutAStateCountsAsASuccess) {
    {
        CInstaller installer(m_Recorder.Callback(), L"\"" + PlacePackage("line Progress=0.25\ncrash\n") + L"\"", L"");
        installer.Start();
    }
    EXPECT_EQ(m_Recorder.Codes(), (std::vector<int>{2001, 2002, 2002, 2003}));
    EXPECT_EQ(m_Recorder.Events().back().progress, 1.0);
}

TEST_F(PackageRun, StartFailuresAreReportedWithTwo) {
    {
        CInstaller missing(m_Recorder.Callback(), L"\"" + m_Folder.File(L"missing.exe") + L"\"", L"");
        missing.Start();
    }
    EXPECT_EQ(m_Recorder.Events(), (Events{{2001, 0.0, L""}, {2002, 0.0, L""}, {2004, 2.0, L""}}));

    // A command line that does not fit is refused, never cut.
    EventRecorder tooLong;
    {
        CInstaller installer(tooLong.Callback(), L"\"" + PlacePackage("line State=Success\n") + L"\"",
                             L"C:\\" + std::wstring(600, L'f'));
        installer.Start();
    }
    EXPECT_EQ(tooLong.Events(), (Events{{2001, 0.0, L""}, {2002, 0.0, L""}, {2004, 2.0, L""}}));
}

TEST_F(PackageRun, ThePackageGetsExactlyTheBuiltCommandLine) {
    const std::wstring record = m_Folder.File(L"command line.txt");
    const std::wstring package = PlacePackage("record " + Fakes::ToUtf8(record) + "\n");
    const std::wstring savedInstCmd = g_InstallerSettings.m_InstCmd;
    g_InstallerSettings.m_InstCmd = L"-channel=\"a b\"";
    const std::wstring installDir = m_Folder.File(L"Program Files (x86)\\lumivoxApp");
    std::wstring commandLine;
    {
        CInstaller installer(m_Recorder.Callback(), L"\"" + package + L"\"", installDir);
        installer.m_Dsc = true;
        installer.m_InsLang = L"zh-CN";
        installer.Start();
        commandLine = installer.CommandLine();
    }
    g_InstallerSettings.m_InstCmd = savedInstCmd;
    EXPECT_EQ(commandLine, BuildPackageCommandLine(L"\"" + package + L"\"", false, true, true, false, L"zh-CN",
                                                   L"-channel=\"a b\"", installDir));
    EXPECT_EQ(Fakes::ReadBytes(record), Fakes::ToUtf8(commandLine));
}

TEST_F(PackageRun, EncodeSwitchesTheCodePageFromTheNextLineOn) {
    {
        CInstaller installer(m_Recorder.Callback(),
                             L"\"" + PlacePackage("line Encode=UTF8\nsleep 200\nline Message=中文安装\n") + L"\"", L"");
        installer.Start();
    }
    EXPECT_EQ(m_Recorder.Events()[2], (RecordedEvent{3009, 0.0, L"中文安装"}));

    // Also when the switch and the text arrive in the same read.
    EventRecorder sameRead;
    {
        CInstaller installer(sameRead.Callback(),
                             L"\"" + PlacePackage("write Encode=UTF8\\nMessage=中文\\nState=Success\\n\n") + L"\"", L"");
        installer.Start();
    }
    EXPECT_EQ(sameRead.Events(), (Events{{2001, 0.0, L""}, {2002, 0.0, L""}, {3009, 0.0, L"中文"}, {2003, 0.0, L""}}));
}

TEST_F(PackageRun, AnsiTextIsReadInTheAnsiCodePage) {
    {
        CInstaller installer(m_Recorder.Callback(), L"\"" + PlacePackage("encoding ansi\nline Message=Grüße\n") + L"\"",
                             L"");
        installer.Start();
    }
    // What the system's ANSI code page makes of the text, there and back.
    char ansi[16] = {};
    ::WideCharToMultiByte(CP_ACP, 0, L"Grüße", -1, ansi, sizeof(ansi), nullptr, nullptr);
    wchar_t expected[16] = {};
    ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, expected, 16);
    const Events events = m_Recorder.Events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[2], (RecordedEvent{3009, 0.0, expected}));
}

// A line cut by a read boundary is still one line, and a character cut by one is whole.
TEST_F(PackageRun, LinesAndCharactersSplitAcrossReadsArriveWhole) {
    {
        CInstaller installer(m_Recorder.Callback(),
                             L"\"" +
                                 PlacePackage("line Encode=UTF8\n"
                                              "write Progress=0.\nsleep 300\nwrite 75\\nMess\nsleep 300\n"
                                              "write age=\\xE4\\xB8\nsleep 300\nwrite \\xAD\\xE6\\x96\\x87\\n\n"
                                              "write State=Succ\nsleep 300\nwrite ess\n") +
                                 L"\"",
                             L"");
        installer.Start();
    }
    EXPECT_EQ(m_Recorder.Events(), (Events{{2001, 0.0, L""},
                                           {2002, 0.0, L""},
                                           {2002, 0.75, L""},
                                           {3009, 0.0, L"中文"},
                                           {2003, 0.0, L""}}))
        << "the unfinished last line counts at the end of the stream";
}

TEST_F(PackageRun, CrLfLinesGiveValuesWithoutCarriageReturns) {
    {
        CInstaller installer(
            m_Recorder.Callback(),
            L"\"" + PlacePackage("write InstPath=D:\\\\Apps\\\\lumivoxApp\\r\\nExePath=D:\\\\Apps\\\\lumivoxApp\\\\lumivoxApp.exe\\r\\n"
                                 "State=Success\\r\\n\n") +
                L"\"",
            L"");
        installer.Start();
    }
    EXPECT_EQ(m_Recorder.Events(), (Events{{2001, 0.0, L""},
                                           {2002, 0.0, L""},
                                           {3000, 0.0, L"D:\\Apps\\lumivoxApp"},
                                           {3001, 0.0, L"D:\\Apps\\lumivoxApp\\lumivoxApp.exe"},
                                           {2003, 0.0, L""}}));
}

// The final state is reported at once; the runner then waits for the package to end, tells
// the owner, and sends nothing more. A package writing on meanwhile does not block.
TEST_F(PackageRun, APackageRunningOnAfterItsFinalStateIsAwaited) {
    const std::wstring release = m_Folder.File(L"release");
    const std::wstring package =
        PlacePackage("line State=Success\nstderr 1048576\nwaitfile " + Fakes::ToUtf8(release) +
                     "\nwrite " + std::string(300000, 'M') + "\nline Message=late\n");
    std::atomic<int> endedCalls{0};
    {
        CInstaller installer(m_Recorder.Callback(), L"\"" + package + L"\"", L"");
        installer.SetPackageEndedHandler([&] { ++endedCalls; });
        installer.Start();
        ASSERT_TRUE(m_Recorder.WaitFor(2003));
        EXPECT_EQ(endedCalls.load(), 0) << "the package still runs";
        Fakes::WriteScript(release, "");
    }
    EXPECT_EQ(endedCalls.load(), 1);
    EXPECT_EQ(m_Recorder.Codes(), (std::vector<int>{2001, 2002, 2003}));
}

TEST_F(PackageRun, ASecondStartRunsThePackageAgainAndKeepsTheCodePage) {
    const std::wstring package = PlacePackage("line Encode=UTF8\nline Message=一\n");
    CInstaller installer(m_Recorder.Callback(), L"\"" + package + L"\"", L"");
    installer.Start();
    ASSERT_TRUE(m_Recorder.WaitFor(2003));
    Fakes::WriteScript(Fakes::ScriptPathFor(package), "line Message=二\n");
    installer.m_InstallDir = m_Folder.File(L"second");
    installer.Start();  // waits for the first run's worker
    ASSERT_TRUE(m_Recorder.WaitFor(2003, 2));
    EXPECT_NE(installer.CommandLine().find(L" /D=" + m_Folder.File(L"second")), std::wstring::npos)
        << "the command line is built afresh";
    const Events events = m_Recorder.Events();
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events[2], (RecordedEvent{3009, 0.0, L"一"}));
    EXPECT_EQ(events[6], (RecordedEvent{3009, 0.0, L"二"})) << "still read as UTF-8";
}

}  // namespace
