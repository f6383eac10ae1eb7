// The installer program as a whole: start-up shows the main window, closing it ends the
// process with 0, a second instance ends at once with -1, and the settings layers are
// traced. The program runs on this test's own desktop (see app_test_main.cpp) so that the
// test can find and close its window.
#include "app/process_entry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "tests/support/run_process.h"
#include "tests/support/temp_folder.h"
#include "utils/text_convert.h"
#include "utils/win_handle.h"

extern std::wstring g_TestDesktopName;

namespace {

using TestSupport::RunProcess;
using TestSupport::TempFolder;

std::wstring InstallerPath() { return TestSupport::OwnFolder() + L"\\LumivoxSetup.exe"; }

std::string ReadUtf8File(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// An installation recorded in this Wine prefix (by the demo command or the end-to-end
// journeys) would make start-up offer the update dialog before the main window.
void ForgetEarlierInstallation() { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\QuillonSoft\\lumivoxApp"); }

// A running installer on this test's desktop.
class Installer {
public:
    explicit Installer(const std::wstring& commandLine) {
        std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
        buffer.push_back(L'\0');
        std::wstring desktop = g_TestDesktopName;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.lpDesktop = desktop.empty() ? nullptr : &desktop[0];
        PROCESS_INFORMATION info{};
        if (::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            m_Process.reset(info.hProcess);
            ::CloseHandle(info.hThread);
            m_ProcessId = info.dwProcessId;
        }
    }
    ~Installer() {
        if (m_Process.valid() && ::WaitForSingleObject(m_Process.get(), 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(m_Process.get(), 1);
        }
    }

    // The main window, once it is shown (waits up to 30 s); nullptr if the process ends first.
    HWND WaitForMainWindow() {
        for (int waited = 0; waited < 30000; waited += 50) {
            m_Window = nullptr;
            ::EnumWindows(&Installer::Match, reinterpret_cast<LPARAM>(this));
            if (m_Window != nullptr) return m_Window;
            if (::WaitForSingleObject(m_Process.get(), 50) == WAIT_OBJECT_0) return nullptr;
        }
        return nullptr;
    }
    // The exit code after up to 30 s; -1001 when it is still running.
    int ExitCode() {
        if (::WaitForSingleObject(m_Process.get(), 30000) != WAIT_OBJECT_0) return -1001;
        DWORD code = 0;
        ::GetExitCodeProcess(m_Process.get(), &code);
        return static_cast<int>(code);
    }
    bool Started() const { return m_Process.valid(); }

private:
    static BOOL CALLBACK Match(HWND window, LPARAM self) {
        auto* installer = reinterpret_cast<Installer*>(self);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t className[64] = {};
        ::GetClassNameW(window, className, 64);
        if (owner == installer->m_ProcessId && std::wstring(className) == L"MainWnd" && ::IsWindowVisible(window)) {
            installer->m_Window = window;
            return FALSE;
        }
        return TRUE;
    }

    Utils::UniqueHandle m_Process;
    DWORD m_ProcessId = 0;
    HWND m_Window = nullptr;
};

TEST(ProcessEntry, ShowsTheMainWindowAndEndsWithZeroWhenItCloses) {
    ForgetEarlierInstallation();
    Installer installer(L"\"" + InstallerPath() + L"\"");
    ASSERT_TRUE(installer.Started());
    HWND window = installer.WaitForMainWindow();
    ASSERT_NE(nullptr, window);
    wchar_t title[64] = {};
    ::GetWindowTextW(window, title, 64);
    EXPECT_STREQ(L"Lumivox", title);
    EXPECT_EQ(0, ::GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) << "frameless";
    RECT rect{};
    ::GetWindowRect(window, &rect);
    EXPECT_EQ(600, rect.right - rect.left);
    EXPECT_EQ(400, rect.bottom - rect.top);

    // A second installer ends at once while the first holds the mutex, and shows nothing.
    EXPECT_EQ(-1, RunProcess(L"\"" + InstallerPath() + L"\""));
    EXPECT_TRUE(::IsWindow(window)) << "the first continues";

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, installer.ExitCode());
}

TEST(ProcessEntry, SecondInstanceExitsAtOnceWhileTheFirstHoldsTheMutex) {
    // This process plays the first installer.
    Utils::UniqueHandle held(::CreateMutexW(nullptr, TRUE, kSingleInstanceMutexName));
    ASSERT_TRUE(held.valid());
    EXPECT_EQ(RunProcess(L"\"" + InstallerPath() + L"\""), -1);
    ::ReleaseMutex(held.get());
}

TEST(ProcessEntry, GuardRefusesASecondHolderInTheSameProcess) {
    SingleInstanceGuard first;
    ASSERT_TRUE(first.Acquire());
    SingleInstanceGuard second;
    EXPECT_FALSE(second.Acquire());
}

TEST(ProcessEntry, IniBesideTheExecutableThenTheCommandLine) {
    ForgetEarlierInstallation();
    TempFolder folder;
    const std::wstring exe = folder.File(L"LumivoxSetup.exe");
    ASSERT_TRUE(::CopyFileW(InstallerPath().c_str(), exe.c_str(), FALSE));
    folder.Write(L"QuillonInstallerConfig.ini",
                 "[Install]\r\nDownloadUrl=http://127.0.0.1:9/software/366\r\nDownloadScale=0.9\r\n");
    const std::wstring traceFile = folder.File(L"trace.txt");
    ::SetEnvironmentVariableW(L"LUMIVOX_TRACE_FILE", traceFile.c_str());
    Installer installer(L"\"" + exe + L"\" -downloadscale=0.5 -language=2");
    ::SetEnvironmentVariableW(L"LUMIVOX_TRACE_FILE", nullptr);
    HWND window = installer.WaitForMainWindow();
    ASSERT_NE(nullptr, window);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(installer.ExitCode(), 0);

    const std::string trace = ReadUtf8File(traceFile);
    EXPECT_NE(trace.find("settings url=http://127.0.0.1:9/software/366 type=1 checknet=1 analytics=1 scale=0.5 "
                         "language=2 insnew=0"),
              std::string::npos)
        << trace;
    EXPECT_NE(trace.find("(RunInstaller)<0090>: exit 0\r\n"), std::string::npos) << trace;
}

}  // namespace
