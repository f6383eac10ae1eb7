#include "app/process_entry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "tests/support/run_process.h"
#include "tests/support/temp_folder.h"
#include "utils/text_convert.h"
#include "utils/win_handle.h"

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

TEST(ProcessEntry, SecondInstanceExitsAtOnceWhileTheFirstHoldsTheMutex) {
    {
        // This process plays the first installer.
        Utils::UniqueHandle held(::CreateMutexW(nullptr, TRUE, kSingleInstanceMutexName));
        ASSERT_TRUE(held.valid());
        const DWORD started = ::GetTickCount();
        EXPECT_EQ(RunProcess(L"\"" + InstallerPath() + L"\""), -1);
        EXPECT_LT(::GetTickCount() - started, 20000u);
        ::ReleaseMutex(held.get());
    }
    EXPECT_EQ(RunProcess(L"\"" + InstallerPath() + L"\""), 0) << "runs normally once the mutex is free";
}

TEST(ProcessEntry, GuardRefusesASecondHolderInTheSameProcess) {
    SingleInstanceGuard first;
    ASSERT_TRUE(first.Acquire());
    SingleInstanceGuard second;
    EXPECT_FALSE(second.Acquire());
}

TEST(ProcessEntry, IniBesideTheExecutableThenTheCommandLine) {
    TempFolder folder;
    const std::wstring exe = folder.File(L"LumivoxSetup.exe");
    ASSERT_TRUE(::CopyFileW(InstallerPath().c_str(), exe.c_str(), FALSE));
    folder.Write(L"QuillonInstallerConfig.ini",
                 "[Install]\r\nDownloadUrl=http://127.0.0.1:9/software/366\r\nDownloadScale=0.9\r\n");
    const std::wstring traceFile = folder.File(L"trace.txt");
    ::SetEnvironmentVariableW(L"LUMIVOX_TRACE_FILE", traceFile.c_str());
    const int exitCode = RunProcess(L"\"" + exe + L"\" -downloadscale=0.5 -language=2");
    ::SetEnvironmentVariableW(L"LUMIVOX_TRACE_FILE", nullptr);
    ASSERT_EQ(exitCode, 0);

    const std::string trace = ReadUtf8File(traceFile);
    EXPECT_NE(trace.find("settings url=http://127.0.0.1:9/software/366 type=1 checknet=1 analytics=1 scale=0.5 "
                         "language=2 insnew=0"),
              std::string::npos)
        << trace;
    EXPECT_NE(trace.find("(RunInstaller)<0090>: exit 0\r\n"), std::string::npos) << trace;
}

}  // namespace
