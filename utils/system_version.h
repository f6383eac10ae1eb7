// The Windows version as a short name and whether the system is 64-bit. The raw numbers
// come through one seam so that tests can present any Windows version.
#pragma once

#include <cstdint>
#include <string>

namespace Utils {

struct VersionNumbers {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;     // low 16 bits of the build number
    bool serverR2 = false;  // the system metric SM_SERVERR2
};

struct OsVersionName {
    std::wstring family;  // always "Windows"
    std::wstring name;    // "XP", "7", "10", "11.0.22631", ...
};

// Reads the numbers; false when they cannot be read.
using VersionNumbersReader = bool (*)(VersionNumbers* numbers);
// Installs a reader (nullptr restores the system's) and returns the previous one.
VersionNumbersReader SetVersionNumbersReader(VersionNumbersReader reader);
bool ReadSystemVersionNumbers(VersionNumbers* numbers);

using Wow64Reader = bool (*)();
Wow64Reader SetWow64Reader(Wow64Reader reader);

// The name of the version table for the given numbers.
std::wstring VersionNameFromNumbers(const VersionNumbers& numbers);

OsVersionName GetOsVersionName();
bool IsWow64();

}  // namespace Utils
