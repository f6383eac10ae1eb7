#include "utils/debug_trace.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <new>

namespace Utils {

const wchar_t kTracePrefixFormat[] = L"<P%05d><T%05d><%04d-%02d-%02d %02d:%02d:%02d.%03d>(%s)<%04d>: ";

namespace {

void DebuggerOutputSink(const wchar_t* line) { ::OutputDebugStringW(line); }

std::atomic<TraceSink> g_Sink{&DebuggerOutputSink};

}  // namespace

TraceSink SetTraceSink(TraceSink sink) {
    return g_Sink.exchange(sink != nullptr ? sink : &DebuggerOutputSink);
}

TracePrefixFields CurrentTracePrefixFields() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return TracePrefixFields{static_cast<int>(::GetCurrentProcessId()),
                             static_cast<int>(::GetCurrentThreadId()),
                             now.wYear,
                             now.wMonth,
                             now.wDay,
                             now.wHour,
                             now.wMinute,
                             now.wSecond,
                             now.wMilliseconds};
}

void DebugTraceV(const wchar_t* format, va_list arguments) {
    // The underscored functions are the C runtime's own, whose %s takes wide text in a
    // wide format; the standard-named ones may follow C99, where %s means narrow text.
    va_list measureArguments;
    va_copy(measureArguments, arguments);
    const int length = ::_vscwprintf(format, measureArguments);
    va_end(measureArguments);
    if (length < 0) return;

    const size_t capacity = static_cast<size_t>(length) + 2;
    std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[capacity]);
    if (!buffer) return;
    if (::_vsnwprintf(buffer.get(), capacity - 1, format, arguments) < 0) return;
    buffer[capacity - 1] = L'\0';
    g_Sink.load()(buffer.get());
}

void DebugTrace(const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    DebugTraceV(format, arguments);
    va_end(arguments);
}

}  // namespace Utils
