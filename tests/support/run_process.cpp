#include "tests/support/run_process.h"

#include <windows.h>

#include <vector>

#include "utils/win_handle.h"

namespace TestSupport {

int RunProcess(const std::wstring& commandLine, unsigned long timeoutMs) {
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return -1000;
    }
    Utils::UniqueHandle process(info.hProcess);
    Utils::UniqueHandle thread(info.hThread);
    if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
        return -1001;
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.get(), &exitCode);
    return static_cast<int>(exitCode);
}

}  // namespace TestSupport
