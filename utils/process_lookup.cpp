#include "utils/process_lookup.h"

#include <tlhelp32.h>

#include "utils/win_handle.h"

namespace Utils {

DWORD FindProcessByName(const std::wstring& exeName) {
    UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid()) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    // The first entry is the system's idle process, never a candidate.
    if (!::Process32FirstW(snapshot.get(), &entry)) return 0;
    while (::Process32NextW(snapshot.get(), &entry)) {
        if (::lstrcmpW(entry.szExeFile, exeName.c_str()) == 0) return entry.th32ProcessID;
    }
    return 0;
}

}  // namespace Utils
