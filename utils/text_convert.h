// Conversions between wide text and 8-bit text in a Windows code page
// (0: the system's ANSI code page, 65001: UTF-8).
#pragma once

#include <string>

namespace Utils {

// Empty when the input cannot be converted.
std::wstring MultiByteToWide(const std::string& text, unsigned int codePage);
std::string WideToMultiByte(const std::wstring& text, unsigned int codePage);

inline std::wstring Utf8ToWide(const std::string& text) { return MultiByteToWide(text, 65001); }
inline std::string WideToUtf8(const std::wstring& text) { return WideToMultiByte(text, 65001); }

}  // namespace Utils
