#include "utils/child_process.h"

#include <mutex>

#include "utils/debug_trace.h"

namespace Utils {

namespace {

// A child inherits every inheritable handle of this process. The child's ends are made
// inheritable only while this lock is held, from just before one launch until they are
// closed here after it, so that two children started at once from different workers never
// inherit each other's pipe ends (which would keep a finished child's stream open).
std::mutex& LaunchLock() {
    static std::mutex lock;
    return lock;
}

bool SetInheritable(HANDLE handle, bool inheritable) {
    return ::SetHandleInformation(handle, HANDLE_FLAG_INHERIT, inheritable ? HANDLE_FLAG_INHERIT : 0) != FALSE;
}

}  // namespace

ChildProcess::ChildProcess() {
    SECURITY_ATTRIBUTES attributes{};
    attributes.nLength = sizeof(attributes);
    attributes.bInheritHandle = FALSE;  // see LaunchLock
    if (!::CreatePipe(m_OutputRead.out(), m_OutputWrite.out(), &attributes, 0)) {
        Close();
        throw Exception();
    }
    m_NullDevice.reset(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     &attributes, OPEN_EXISTING, 0, nullptr));
    if (!m_NullDevice.valid()) {
        Close();
        throw Exception();
    }
}

ChildProcess::~ChildProcess() { Close(); }

void ChildProcess::Launch(const std::wstring& commandLine) {
    if (commandLine.size() >= kCommandLineCapacity || !m_OutputWrite.valid() || !m_NullDevice.valid()) {
        throw Exception();
    }
    // CreateProcessW may modify the command line it is given, so it gets a copy of its own.
    commandLine.copy(m_CommandLine, commandLine.size());
    m_CommandLine[commandLine.size()] = L'\0';

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = m_NullDevice.get();
    startup.hStdOutput = m_OutputWrite.get();
    startup.hStdError = m_NullDevice.get();

    PROCESS_INFORMATION information{};
    BOOL created = FALSE;
    DWORD error = ERROR_SUCCESS;
    {
        std::lock_guard<std::mutex> hold(LaunchLock());
        if (SetInheritable(m_OutputWrite.get(), true) && SetInheritable(m_NullDevice.get(), true)) {
            created = ::CreateProcessW(nullptr, m_CommandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                       &information);
        }
        if (!created) error = ::GetLastError();
        // Only the child keeps these: reading the output then ends when the child and
        // everything it started have closed their copies.
        m_OutputWrite.reset();
        m_NullDevice.reset();
    }
    if (!created) {
        Utils::TraceAt(L"ChildProcess::Launch", __LINE__, L"cannot start %s, error %lu", commandLine.c_str(), error);
        throw Exception();
    }
    m_Process.reset(information.hProcess);
    m_Thread.reset(information.hThread);
    m_ProcessId = information.dwProcessId;
    m_ThreadId = information.dwThreadId;
}

bool ChildProcess::ReadOutput(char* buffer, DWORD size, DWORD* bytesRead) {
    *bytesRead = 0;
    if (!m_OutputRead.valid()) return false;
    return ::ReadFile(m_OutputRead.get(), buffer, size, bytesRead, nullptr) != FALSE;
}

DWORD ChildProcess::ExitCode() const {
    if (!m_Process.valid()) return 0;
    DWORD code = STILL_ACTIVE;
    if (!::GetExitCodeProcess(m_Process.get(), &code)) code = STILL_ACTIVE;
    return code;
}

bool ChildProcess::WaitForExit(DWORD milliseconds) const {
    if (!m_Process.valid()) return true;
    return ::WaitForSingleObject(m_Process.get(), milliseconds) == WAIT_OBJECT_0;
}

void ChildProcess::Close() {
    m_Thread.reset();
    m_Process.reset();
    m_OutputWrite.reset();
    m_OutputRead.reset();
    m_NullDevice.reset();
}

}  // namespace Utils
