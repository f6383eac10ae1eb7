#include "app/trace_file_sink.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <mutex>
#include <string>

#include "utils/debug_trace.h"
#include "utils/text_convert.h"

namespace {

std::mutex g_FileLock;
FILE* g_TraceFile = nullptr;  // open for the rest of the process once installed

void FileAndDebuggerSink(const wchar_t* line) {
    ::OutputDebugStringW(line);
    const std::string utf8 = Utils::WideToUtf8(line);
    std::lock_guard<std::mutex> lock(g_FileLock);
    std::fwrite(utf8.data(), 1, utf8.size(), g_TraceFile);
    std::fflush(g_TraceFile);
}

}  // namespace

void InstallTraceFileSinkFromEnvironment() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"LUMIVOX_TRACE_FILE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    g_TraceFile = ::_wfopen(path, L"ab");
    if (g_TraceFile != nullptr) Utils::SetTraceSink(&FileAndDebuggerSink);
}
