// The one-line diagnostic trace. Every line starts with the prefix
// "<Ppid><Ttid><local time>(function)<line>: " and goes, whole, to one sink: the debugger
// output unless a test or a developer's run installs another sink.
//
// Any thread may trace at any time; nothing here takes a lock.
#pragma once

#include <cstdarg>
#include <string>
#include <type_traits>

namespace Utils {

// Receives each finished line (prefix, message and line end) in one call.
using TraceSink = void (*)(const wchar_t* line);

// Installs a sink and returns the one it replaces; nullptr restores the debugger output.
TraceSink SetTraceSink(TraceSink sink);

// Formats with the C runtime's wide rules (every %s takes wide text) and emits the result.
// A line that cannot be measured or allocated is dropped.
void DebugTrace(const wchar_t* format, ...);
void DebugTraceV(const wchar_t* format, va_list arguments);

extern const wchar_t kTracePrefixFormat[];

struct TracePrefixFields {
    int processId;
    int threadId;
    int year, month, day, hour, minute, second, millisecond;
};

// Read once per line, before any formatting.
TracePrefixFields CurrentTracePrefixFields();

namespace detail {
template <typename... Args>
void EmitTrace(const wchar_t* function, int line, const std::wstring& format, Args... arguments) {
    static_assert(((std::is_arithmetic_v<Args> || std::is_pointer_v<Args> || std::is_enum_v<Args>) && ...),
                  "trace arguments must be numbers or C strings; pass text with .c_str()");
    const TracePrefixFields f = CurrentTracePrefixFields();
    DebugTrace(format.c_str(), f.processId, f.threadId, f.year, f.month, f.day, f.hour, f.minute, f.second,
               f.millisecond, function, line, arguments...);
}
}  // namespace detail

// Traces `message` (itself a format for `arguments`) followed by "\r\n". `function` is the
// qualified name of the emitting function; `line` the line number its trace table gives.
template <typename... Args>
void TraceAt(const wchar_t* function, int line, const wchar_t* message, Args... arguments) {
    detail::EmitTrace(function, line, std::wstring(kTracePrefixFormat) + message + L"\r\n", arguments...);
}

// As TraceAt, but the message carries its own line end (or none).
template <typename... Args>
void TraceExactAt(const wchar_t* function, int line, const wchar_t* message, Args... arguments) {
    detail::EmitTrace(function, line, std::wstring(kTracePrefixFormat) + message, arguments...);
}

}  // namespace Utils
