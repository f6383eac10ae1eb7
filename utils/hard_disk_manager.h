#pragma once

#include <cstdint>
#include <string>

namespace Utils {

// Free and total space of a volume. The members stay 0 until a query succeeds.
class HardDiskManager {
public:
    virtual ~HardDiskManager() = default;

    // `directory` is a folder or a drive such as "C:". On failure traces the system's error
    // and leaves the members as they were.
    bool CheckFreeSpace(const std::wstring& directory);

    uint64_t freeBytesAvailable = 0;
    uint64_t totalBytes = 0;
    uint64_t totalFreeBytes = 0;
};

struct FreeSpace {
    uint64_t freeBytesAvailable = 0;
    uint64_t totalBytes = 0;
    uint64_t totalFreeBytes = 0;
};

// Reads the volume's figures; false with the system's last error set on failure.
using FreeSpaceReader = bool (*)(const std::wstring& directory, FreeSpace* space);
// Installs a reader (nullptr restores the system's) and returns the previous one.
FreeSpaceReader SetFreeSpaceReader(FreeSpaceReader reader);

}  // namespace Utils
