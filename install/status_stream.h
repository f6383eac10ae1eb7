// The status stream of a child program: key=value lines on its standard output. Reads may
// cut the stream anywhere, so bytes are joined into complete lines first and each line is
// decoded by itself: no line is seen as two and no multi-byte character is cut. A line feed
// byte never occurs inside a multi-byte character of the code pages in use (UTF-8 and the
// double-byte ANSI code pages), so lines can be split before decoding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "utils/child_process.h"

class StatusLineAssembler {
public:
    // Adds the bytes of one read, up to its first zero byte; returns the lines completed by
    // them, without their line feeds.
    std::vector<std::string> Append(const char* bytes, size_t size);
    // At the end of the stream: the unfinished last line, if any text is left.
    bool TakeRemainder(std::string& line);

private:
    std::string m_Pending;
};

// Size of one read of a child's output.
constexpr size_t kStatusReadSize = 1024;
// Longest value passed on; longer values are cut.
constexpr size_t kStatusValueMaxLength = 771;

// Reads `child`'s output until the stream ends and hands every line, raw, to `onLine`.
// `onLine` returns false to stop reading after the lines of the current read.
template <typename OnLine>
void ReadStatusLines(Utils::ChildProcess& child, OnLine onLine) {
    StatusLineAssembler assembler;
    char buffer[kStatusReadSize];
    for (;;) {
        DWORD got = 0;
        const bool more = child.ReadOutput(buffer, sizeof(buffer), &got);
        bool goOn = true;
        for (const std::string& line : assembler.Append(buffer, got)) goOn = onLine(line) && goOn;
        if (!goOn) return;
        if (!more) break;
    }
    std::string last;
    if (assembler.TakeRemainder(last)) onLine(last);
}

// If `line` begins with `key` (exact, case-sensitive), `value` gets the rest of the line
// without one trailing carriage return and cut to kStatusValueMaxLength characters.
bool MatchStatusKey(const std::wstring& line, const wchar_t* key, std::wstring& value);

// Without surrounding white space.
std::wstring TrimStatusValue(const std::wstring& value);

// A decimal floating-point number at the start of `value`; 0.0 when there is none.
double ReadStatusNumber(const std::wstring& value);
// A decimal integer at the start of `value`; 0 when there is none. Values beyond 32 bits
// are held at the nearest limit.
int32_t ReadStatusInteger(const std::wstring& value);

// Splits converted text into lines at line feeds.
std::vector<std::wstring> SplitStatusLines(const std::wstring& text);
