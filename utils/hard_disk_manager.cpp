#include "utils/hard_disk_manager.h"

#include <windows.h>

#include <atomic>

#include "utils/debug_trace.h"

namespace Utils {

namespace {

bool ReadSystemFreeSpace(const std::wstring& directory, FreeSpace* space) {
    ULARGE_INTEGER available{}, total{}, totalFree{};
    if (!::GetDiskFreeSpaceExW(directory.c_str(), &available, &total, &totalFree)) return false;
    space->freeBytesAvailable = available.QuadPart;
    space->totalBytes = total.QuadPart;
    space->totalFreeBytes = totalFree.QuadPart;
    return true;
}

std::atomic<FreeSpaceReader> g_FreeSpaceReader{&ReadSystemFreeSpace};

}  // namespace

FreeSpaceReader SetFreeSpaceReader(FreeSpaceReader reader) {
    return g_FreeSpaceReader.exchange(reader != nullptr ? reader : &ReadSystemFreeSpace);
}

bool HardDiskManager::CheckFreeSpace(const std::wstring& directory) {
    FreeSpace space;
    if (!g_FreeSpaceReader.load()(directory, &space)) {
        TraceAt(L"Utils::HardDiskManager::CheckFreeSpace", 35, L"HardDiskManager::CheckFreeSpace FAIL code=%ld",
                static_cast<long>(::GetLastError()));
        return false;
    }
    freeBytesAvailable = space.freeBytesAvailable;
    totalBytes = space.totalBytes;
    totalFreeBytes = space.totalFreeBytes;
    return true;
}

}  // namespace Utils
