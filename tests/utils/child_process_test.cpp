#include "utils/child_process.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_folder.h"
#include "tools/fakes/fake_script.h"

namespace {

using TestSupport::TempFolder;

// Reads the child's output to its end.
std::string ReadAll(Utils::ChildProcess& child) {
    std::string output;
    char buffer[1024];
    DWORD got = 0;
    while (child.ReadOutput(buffer, sizeof(buffer), &got) || got > 0) output.append(buffer, got);
    return output;
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

TEST(ChildProcess, ReadsTheHiddenChildsOutputToItsEndAndItsExitCode) {
    TempFolder folder;
    const std::wstring program = folder.File(L"child.exe");
    ASSERT_TRUE(Fakes::PlaceFake(Fakes::FakePackagePath(), program, "line first\nsleep 200\nwrite second\nexit 7\n"));

    Utils::ChildProcess child;
    child.Launch(Quoted(program));
    EXPECT_NE(child.ProcessId(), 0u);
    EXPECT_EQ(ReadAll(child), "first\nsecond");
    ASSERT_TRUE(child.WaitForExit(30000));
    EXPECT_EQ(child.ExitCode(), 7u);
    child.Close();
    EXPECT_EQ(child.ProcessHandle(), nullptr);
}

// A child that writes more to its error stream than any pipe buffer holds, and reads its
// input to the end, must still run to its end: nobody reads its errors or writes its input.
TEST(ChildProcess, AChildFloodingStandardErrorAndReadingStandardInputStillEnds) {
    TempFolder folder;
    const std::wstring program = folder.File(L"child.exe");
    ASSERT_TRUE(Fakes::PlaceFake(Fakes::FakePackagePath(), program, "stderr 4194304\nreadstdin\nline done\n"));

    Utils::ChildProcess child;
    child.Launch(Quoted(program));
    const bool ended = child.WaitForExit(60000);  // bounded: a blocked child fails the test
    if (!ended) ::TerminateProcess(child.ProcessHandle(), 1);
    ASSERT_TRUE(ended) << "the child blocked on its error stream or its input";
    EXPECT_EQ(ReadAll(child), "done\n") << "standard output stays the status stream";
}

TEST(ChildProcess, CommandLineMustFitTheBufferOfItsCapacity) {
    TempFolder folder;
    const std::wstring program = folder.File(L"child.exe");
    const std::wstring record = folder.File(L"cmdline.txt");
    ASSERT_TRUE(Fakes::PlaceFake(Fakes::FakePackagePath(), program, "record " + Fakes::ToUtf8(record) + "\n"));

    std::wstring longest = Quoted(program) + L" -pad=";
    longest.append(Utils::ChildProcess::kCommandLineCapacity - 1 - longest.size(), L'x');
    {
        Utils::ChildProcess child;
        child.Launch(longest);
        ASSERT_TRUE(child.WaitForExit(30000));
    }
    EXPECT_EQ(Fakes::ReadBytes(record), Fakes::ToUtf8(longest)) << "the whole line arrives unchanged";

    Utils::ChildProcess child;
    EXPECT_THROW(child.Launch(longest + L"y"), Utils::Exception);
}

TEST(ChildProcess, AProgramThatCannotStartThrows) {
    TempFolder folder;
    Utils::ChildProcess child;
    try {
        child.Launch(Quoted(folder.File(L"missing.exe")));
        FAIL() << "launched a missing program";
    } catch (const Utils::Exception& exception) {
        EXPECT_TRUE(exception.Message().empty());
    }
    EXPECT_EQ(child.ExitCode(), 0u) << "nothing runs";
    char buffer[16];
    DWORD got = 0;
    EXPECT_FALSE(child.ReadOutput(buffer, sizeof(buffer), &got)) << "no writer is left, so the stream has ended";
}

}  // namespace
