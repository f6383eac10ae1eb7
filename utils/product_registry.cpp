#include "utils/product_registry.h"

#include <vector>

#include "utils/win_handle.h"

namespace Utils {

namespace {

RegistryLocation& Location() {
    static RegistryLocation location = DefaultProductRegistryLocation();
    return location;
}

}  // namespace

RegistryLocation DefaultProductRegistryLocation() {
    return RegistryLocation{HKEY_CURRENT_USER, L"Software\\QuillonSoft\\lumivoxApp"};
}

RegistryLocation SetProductRegistryLocation(const RegistryLocation& location) {
    RegistryLocation previous = Location();
    Location() = location;
    return previous;
}

bool ReadProductRegValue(const std::wstring& valueName, DWORD& type, std::wstring& value) {
    const RegistryLocation& location = Location();
    UniqueRegKey key;
    if (::RegOpenKeyExW(location.root, location.subKey.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return false;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) {
        return false;
    }
    // One spare character, zero-filled: the stored text need not carry its own terminator.
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
    DWORD capacity = bytes;
    if (::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                           &capacity) != ERROR_SUCCESS) {
        return false;
    }
    value = buffer.data();
    return true;
}

bool WriteProductRegValue(const std::wstring& valueName, const std::wstring& value) {
    const RegistryLocation& location = Location();
    UniqueRegKey key;
    if (::RegCreateKeyExW(location.root, location.subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, key.out(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    return ::RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            bytes) == ERROR_SUCCESS;
}

}  // namespace Utils
