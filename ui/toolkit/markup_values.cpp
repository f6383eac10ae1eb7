#include "ui/toolkit/markup_values.h"

#include <cwchar>
#include <cwctype>

namespace SkinUI {

namespace {

// Reads up to `count` integers separated by commas (spaces allowed around them).
void ParseIntegers(const std::wstring& text, long* values, int count) {
    const wchar_t* cursor = text.c_str();
    for (int i = 0; i < count; ++i) {
        values[i] = 0;
        while (*cursor == L' ' || *cursor == L'\t') ++cursor;
        if (*cursor == 0) continue;
        wchar_t* end = nullptr;
        values[i] = std::wcstol(cursor, &end, 10);
        if (end == cursor) return;
        cursor = end;
        while (*cursor == L' ' || *cursor == L'\t') ++cursor;
        if (*cursor == L',') ++cursor;
    }
}

}  // namespace

std::uint32_t ParseColour(const std::wstring& text) {
    const wchar_t* cursor = text.c_str();
    while (*cursor == L' ') ++cursor;
    if (*cursor == L'#') {
        ++cursor;
    } else if (cursor[0] == L'0' && (cursor[1] == L'x' || cursor[1] == L'X')) {
        cursor += 2;
    }
    return static_cast<std::uint32_t>(std::wcstoul(cursor, nullptr, 16));
}

RECT ParseRectValue(const std::wstring& text) {
    long values[4];
    ParseIntegers(text, values, 4);
    return RECT{values[0], values[1], values[2], values[3]};
}

SIZE ParseSizeValue(const std::wstring& text) {
    long values[2];
    ParseIntegers(text, values, 2);
    return SIZE{values[0], values[1]};
}

int ParseIntValue(const std::wstring& text) { return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10)); }

bool ParseBoolValue(const std::wstring& text) { return text == L"true"; }

bool EqualsNoCase(const std::wstring& left, const std::wstring& right) {
    if (left.size() != right.size()) return false;
    for (size_t i = 0; i < left.size(); ++i) {
        if (std::towlower(left[i]) != std::towlower(right[i])) return false;
    }
    return true;
}

std::wstring ToLower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

}  // namespace SkinUI
