#include "utils/system_version.h"

#include <windows.h>

#include <atomic>

#include "utils/win_handle.h"

namespace Utils {

namespace {

bool ReadNtdllVersionNumbers(VersionNumbers* numbers) {
    UniqueModule ntdll(::LoadLibraryW(L"ntdll.dll"));
    if (!ntdll) return false;
    using RtlGetNtVersionNumbersFn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
    const auto getNumbers = reinterpret_cast<RtlGetNtVersionNumbersFn>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll.get(), "RtlGetNtVersionNumbers")));
    if (getNumbers == nullptr) return false;
    DWORD major = 0, minor = 0, build = 0;
    getNumbers(&major, &minor, &build);
    numbers->major = major;
    numbers->minor = minor;
    numbers->build = build & 0xFFFF;
    numbers->serverR2 = ::GetSystemMetrics(SM_SERVERR2) != 0;
    return true;
}

bool ReadProcessWow64() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "IsWow64Process")));
    if (isWow64Process == nullptr) return false;
    BOOL wow64 = FALSE;
    if (isWow64Process(::GetCurrentProcess(), &wow64)) {
        // A 64-bit process is not under WOW64 although its system is 64-bit.
        if (wow64) return true;
        return sizeof(void*) == 8;
    }
    SYSTEM_INFO info{};
    ::GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
           info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

std::atomic<VersionNumbersReader> g_VersionReader{&ReadNtdllVersionNumbers};
std::atomic<Wow64Reader> g_Wow64Reader{&ReadProcessWow64};

std::wstring Dotted(const VersionNumbers& n) {
    return std::to_wstring(n.major) + L"." + std::to_wstring(n.minor) + L"." + std::to_wstring(n.build);
}

}  // namespace

VersionNumbersReader SetVersionNumbersReader(VersionNumbersReader reader) {
    return g_VersionReader.exchange(reader != nullptr ? reader : &ReadNtdllVersionNumbers);
}

Wow64Reader SetWow64Reader(Wow64Reader reader) {
    return g_Wow64Reader.exchange(reader != nullptr ? reader : &ReadProcessWow64);
}

bool ReadSystemVersionNumbers(VersionNumbers* numbers) { return g_VersionReader.load()(numbers); }

std::wstring VersionNameFromNumbers(const VersionNumbers& n) {
    if (n.major <= 4) return L"XP-";
    switch (n.major) {
        case 5:
            if (n.minor == 0) return L"2K";
            if (n.minor == 1) return L"XP";
            if (n.minor == 2) return n.serverR2 ? L"Server 2003 R2" : L"Server 2003";
            return L"XP+";
        case 6:
            if (n.minor == 0) return L"Vista";
            if (n.minor == 1) return L"7";
            if (n.minor == 2) return L"8";
            if (n.minor == 3) return L"8.1";
            return L"8.1+";
        case 10:
            return n.minor == 0 ? L"10" : L"10+";
        default:
            return Dotted(n);
    }
}

OsVersionName GetOsVersionName() {
    VersionNumbers numbers;
    if (!ReadSystemVersionNumbers(&numbers)) return {L"Windows", L"XP-"};
    return {L"Windows", VersionNameFromNumbers(numbers)};
}

bool IsWow64() { return g_Wow64Reader.load()(); }

}  // namespace Utils
