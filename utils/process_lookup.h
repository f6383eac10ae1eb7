#pragma once

#include <windows.h>

#include <string>

namespace Utils {

// Process id of the first running process whose executable file name equals `exeName`
// exactly (case-sensitive); 0 when there is none or no snapshot can be taken.
DWORD FindProcessByName(const std::wstring& exeName);

}  // namespace Utils
