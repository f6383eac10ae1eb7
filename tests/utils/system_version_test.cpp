#include "utils/system_version.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemVersion, NamesFromTheVersionTable) {
    struct Case {
        Utils::VersionNumbers numbers;
        const wchar_t* name;
    };
    const Case cases[] = {
        {{0, 0, 0, false}, L"XP-"},
        {{4, 10, 1998, false}, L"XP-"},
        {{5, 0, 2195, false}, L"2K"},
        {{5, 1, 2600, false}, L"XP"},
        {{5, 2, 3790, false}, L"Server 2003"},
        {{5, 2, 3790, true}, L"Server 2003 R2"},
        {{5, 3, 0, false}, L"XP+"},
        {{6, 0, 6002, false}, L"Vista"},
        {{6, 1, 7601, false}, L"7"},
        {{6, 2, 9200, false}, L"8"},
        {{6, 3, 9600, false}, L"8.1"},
        {{6, 4, 9841, false}, L"8.1+"},
        {{10, 0, 19045, false}, L"10"},
        {{10, 0, 22631, false}, L"10"},
        {{10, 1, 0, false}, L"10+"},
        {{11, 0, 22631, false}, L"11.0.22631"},
        {{7, 2, 5, false}, L"7.2.5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utils::VersionNameFromNumbers(c.numbers), c.name)
            << c.numbers.major << "." << c.numbers.minor << "." << c.numbers.build;
    }
}

class VersionSeam : public ::testing::Test {
protected:
    void TearDown() override {
        Utils::SetVersionNumbersReader(nullptr);
        Utils::SetWow64Reader(nullptr);
    }
};

TEST_F(VersionSeam, GetOsVersionNameReadsThroughTheSeam) {
    Utils::SetVersionNumbersReader([](Utils::VersionNumbers* n) {
        *n = {11, 0, 22631, false};
        return true;
    });
    const Utils::OsVersionName name = Utils::GetOsVersionName();
    EXPECT_EQ(name.family, L"Windows");
    EXPECT_EQ(name.name, L"11.0.22631");

    Utils::SetVersionNumbersReader([](Utils::VersionNumbers*) { return false; });
    EXPECT_EQ(Utils::GetOsVersionName().name, L"XP-");
}

TEST_F(VersionSeam, TheSystemIsReadWhenNoReaderIsInstalled) {
    // Wine reports Windows 7 unless its prefix is set to another version; any real answer
    // comes from the table, never the failure name.
    const std::wstring name = Utils::GetOsVersionName().name;
    EXPECT_FALSE(name.empty());
    EXPECT_NE(name, L"XP-");
}

TEST_F(VersionSeam, SixtyFourBitSystem) {
    // Both builds run on a 64-bit system here: a 32-bit build through WOW64, a 64-bit build
    // natively.
    EXPECT_TRUE(Utils::IsWow64());
    Utils::SetWow64Reader([] { return false; });
    EXPECT_FALSE(Utils::IsWow64());
}

}  // namespace
