#pragma once

#include <string>

namespace Utils {

// The URL as the system's download service takes it: UTF-8 bytes, printable ASCII (33 to
// 126) kept, a space as "+", every other byte as "%XX" with capital hex digits. An escaped
// URL passes unchanged.
std::wstring EscapeUrl(const std::wstring& url);

}  // namespace Utils
