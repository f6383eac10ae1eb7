// A child program run with its window hidden and its standard output redirected to a pipe
// that the owner reads. Standard input and standard error lead to the null device: nothing
// here ever writes the child's input or reads its errors, and a pipe in either place would
// block a child that reads its input or writes much to its error stream, and with it the
// owner waiting for that child.
//
// One worker thread at a time uses an object; creation and launch throw Utils::Exception
// to that owner, nothing else throws.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "utils/win_handle.h"

namespace Utils {

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message = std::wstring()) : m_Message(std::move(message)) {}
    const char* what() const noexcept override { return "Utils::Exception"; }
    const std::wstring& Message() const { return m_Message; }

private:
    std::wstring m_Message;
};

class ChildProcess {
public:
    // The command line holds at most this many characters, its terminator included.
    static constexpr size_t kCommandLineCapacity = 1024;

    // Creates the output pipe and opens the null device; throws Utils::Exception when one of
    // them cannot be made (what was made is closed again).
    ChildProcess();
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts the child; throws Utils::Exception when it cannot be started, also for a
    // command line that does not fit kCommandLineCapacity.
    void Launch(const std::wstring& commandLine);

    // Blocks until the child writes or the stream ends. False at the end of the stream
    // (every writer has closed it) or on a read error; `bytesRead` may still be above 0.
    bool ReadOutput(char* buffer, DWORD size, DWORD* bytesRead);

    // Stops reading: the child's later writes fail at once instead of filling the pipe.
    void CloseOutput() { m_OutputRead.reset(); }

    // STILL_ACTIVE (259) while the child runs; 0 when nothing was launched.
    DWORD ExitCode() const;
    // True when the child has ended within `milliseconds` (or never ran).
    bool WaitForExit(DWORD milliseconds) const;
    // Closes the thread and process handles, then the pipe and null-device handles.
    void Close();

    HANDLE ProcessHandle() const { return m_Process.get(); }
    DWORD ProcessId() const { return m_ProcessId; }

private:
    wchar_t m_CommandLine[kCommandLineCapacity] = {};
    UniqueHandle m_NullDevice;  // the child's standard input and standard error
    UniqueHandle m_OutputWrite;  // the child's standard output, closed here once it runs
    UniqueHandle m_OutputRead;
    UniqueHandle m_Process;
    UniqueHandle m_Thread;
    DWORD m_ProcessId = 0;
    DWORD m_ThreadId = 0;
};

}  // namespace Utils
