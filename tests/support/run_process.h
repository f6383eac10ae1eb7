#pragma once

#include <string>

namespace TestSupport {

// Runs a command line, waits up to `timeoutMs` and returns its exit code; -1000 when it
// cannot be started, -1001 when it outlived the wait (it is then terminated).
int RunProcess(const std::wstring& commandLine, unsigned long timeoutMs = 60000);

}  // namespace TestSupport
