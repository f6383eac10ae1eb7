#include "utils/product_registry.h"

#include <gtest/gtest.h>

#include "tests/utils/test_registry_key.h"

namespace {

using TestSupport::TestRegistryKey;

TEST(ProductRegistry, TheProductsKeyByDefault) {
    const Utils::RegistryLocation location = Utils::DefaultProductRegistryLocation();
    EXPECT_EQ(location.root, HKEY_CURRENT_USER);
    EXPECT_EQ(location.subKey, L"Software\\QuillonSoft\\lumivoxApp");
}

TEST(ProductRegistry, WritesTextWithoutTerminatorAndReadsItBack) {
    TestRegistryKey key;
    const std::wstring path = L"C:\\Program Files (x86)\\lumivoxApp\\路径";
    ASSERT_TRUE(Utils::WriteProductRegValue(L"InstallPath", path));

    DWORD storedType = 0, storedBytes = 0;
    ASSERT_TRUE(key.Query(L"InstallPath", &storedType, &storedBytes));
    EXPECT_EQ(storedType, static_cast<DWORD>(REG_SZ));
    // Written as characters times two; the system itself adds the terminating zero that
    // follows the text in memory (Windows and Wine alike), so either length may be stored.
    EXPECT_GE(storedBytes, path.size() * 2);
    EXPECT_LE(storedBytes, path.size() * 2 + 2);

    DWORD type = 0;
    std::wstring value;
    ASSERT_TRUE(Utils::ReadProductRegValue(L"InstallPath", type, value));
    EXPECT_EQ(value, path);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    ASSERT_TRUE(Utils::WriteProductRegValue(L"InstallPath", L"D:\\x"));
    ASSERT_TRUE(Utils::ReadProductRegValue(L"InstallPath", type, value));
    EXPECT_EQ(value, L"D:\\x") << "a shorter value replaces a longer one whole";

    ASSERT_TRUE(Utils::WriteProductRegValue(L"Empty", L""));
    ASSERT_TRUE(Utils::ReadProductRegValue(L"Empty", type, value));
    EXPECT_EQ(value, L"");
}

TEST(ProductRegistry, ReadsAnyTypeUpToTheFirstZero) {
    TestRegistryKey key;
    struct Case {
        const wchar_t* name;
        DWORD type;
        std::wstring stored;  // may hold zeros
        std::wstring expected;
    } cases[] = {
        {L"Terminated", REG_SZ, std::wstring(L"C:\\a\0", 5), L"C:\\a"},
        {L"Expand", REG_EXPAND_SZ, std::wstring(L"%APPDATA%\\q\0", 12), L"%APPDATA%\\q"},
        {L"Multi", REG_MULTI_SZ, std::wstring(L"first\0second\0\0", 14), L"first"},
        {L"Binary", REG_BINARY, std::wstring(L"raw"), L"raw"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(key.SetRaw(c.name, c.type, c.stored.data(), static_cast<DWORD>(c.stored.size() * 2)));
        DWORD type = 0;
        std::wstring value = L"before";
        ASSERT_TRUE(Utils::ReadProductRegValue(c.name, type, value)) << c.name;
        EXPECT_EQ(value, c.expected) << c.name;
        EXPECT_EQ(type, c.type) << c.name;
    }
    // An odd byte count leaves half a character, which is not part of the text.
    ASSERT_TRUE(key.SetRaw(L"Odd", REG_SZ, L"ab", 3));
    DWORD type = 0;
    std::wstring value;
    ASSERT_TRUE(Utils::ReadProductRegValue(L"Odd", type, value));
    EXPECT_EQ(value.substr(0, 1), L"a");
    EXPECT_LE(value.size(), 2u);
}

TEST(ProductRegistry, MissingKeyOrValueReadsNothing) {
    TestRegistryKey key;
    DWORD type = 0;
    std::wstring value = L"unchanged";
    EXPECT_FALSE(Utils::ReadProductRegValue(L"InstallPath", type, value)) << "no key yet";
    ASSERT_TRUE(Utils::WriteProductRegValue(L"InstallPath", L"C:\\p"));
    EXPECT_FALSE(Utils::ReadProductRegValue(L"UnInstallEp", type, value)) << "no such value";
}

}  // namespace
