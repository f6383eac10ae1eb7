// The product's values under its registry key, "Software\QuillonSoft\lumivoxApp" under
// HKEY_CURRENT_USER. The key's location is a seam so that tests work on a key of their own.
#pragma once

#include <windows.h>

#include <string>

namespace Utils {

struct RegistryLocation {
    HKEY root;
    std::wstring subKey;
};

RegistryLocation DefaultProductRegistryLocation();
// Moves the product's key (tests only); returns the location it replaces. Not thread-safe:
// set it before anything reads or writes the product's values.
RegistryLocation SetProductRegistryLocation(const RegistryLocation& location);

// Reads a value of any type as text up to its first zero character; `type` gets the
// value's registry type. False when the key or value cannot be read.
bool ReadProductRegValue(const std::wstring& valueName, DWORD& type, std::wstring& value);

// Creates the key when missing and sets the value as REG_SZ, stored without a terminating
// zero. False when the key cannot be opened or the value not set.
bool WriteProductRegValue(const std::wstring& valueName, const std::wstring& value);

}  // namespace Utils
