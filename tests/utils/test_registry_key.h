// Moves the product's registry key to a fresh key of its own under
// HKEY_CURRENT_USER\Software\LumivoxTests for the lifetime of the object, and deletes that
// key afterwards, so tests use the real registry without touching the product's own key.
#pragma once

#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "utils/guid_string.h"
#include "utils/product_registry.h"
#include "utils/win_handle.h"

namespace TestSupport {

class TestRegistryKey {
public:
    TestRegistryKey()
        : m_SubKey(L"Software\\LumivoxTests\\" + Utils::NewGuidString()),
          m_Previous(Utils::SetProductRegistryLocation({HKEY_CURRENT_USER, m_SubKey})) {}
    ~TestRegistryKey() {
        Utils::SetProductRegistryLocation(m_Previous);
        ::SHDeleteKeyW(HKEY_CURRENT_USER, m_SubKey.c_str());
    }
    TestRegistryKey(const TestRegistryKey&) = delete;
    TestRegistryKey& operator=(const TestRegistryKey&) = delete;

    const std::wstring& SubKey() const { return m_SubKey; }

    // Stores raw bytes as a value of the given type, bypassing the code under test.
    bool SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD bytes) const {
        Utils::UniqueRegKey key;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, m_SubKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(),
                              nullptr) != ERROR_SUCCESS) {
            return false;
        }
        return ::RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes) ==
               ERROR_SUCCESS;
    }

    // The stored type and size of a value; false when it is missing.
    bool Query(const std::wstring& name, DWORD* type, DWORD* bytes) const {
        Utils::UniqueRegKey key;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, m_SubKey.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return false;
        return ::RegQueryValueExW(key.get(), name.c_str(), nullptr, type, nullptr, bytes) == ERROR_SUCCESS;
    }

private:
    std::wstring m_SubKey;
    Utils::RegistryLocation m_Previous;
};

}  // namespace TestSupport
