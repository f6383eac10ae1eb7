#pragma once

#include <string>

namespace Utils {

// A new GUID as 32 hex digits without separators; the third group in small letters, the
// rest in capitals. Empty when the system cannot make one.
std::wstring NewGuidString();

}  // namespace Utils
