// The interface language against the shipped skin (no language file) and a test skin that
// carries one, and the language the installer records in a product's "config.ini".
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/installer_settings.h"
#include "tests/support/temp_folder.h"
#include "ui/interface_language.h"
#include "ui/toolkit/paint_manager.h"

namespace {

constexpr int kShippedSkin = 147;
constexpr int kSkinWithLanguageFile = 148;

class InterfaceLanguage : public ::testing::Test {
protected:
    void SetUp() override {
        m_SavedLanguage = g_InstallerSettings.m_Language;
        SkinUI::CPaintManagerUI::RemoveAllMultiLanguageStrings();
    }
    void TearDown() override {
        g_InstallerSettings.m_Language = m_SavedLanguage;
        SkinUI::CPaintManagerUI::RemoveAllMultiLanguageStrings();
    }
    static void LoadSkin(SkinUI::CPaintManagerUI& skin, int resourceId) {
        ASSERT_TRUE(skin.LoadSkinArchiveFromResource(::GetModuleHandleW(nullptr), resourceId));
    }
    static std::wstring Text104() {
        const wchar_t* text = SkinUI::CPaintManagerUI::GetMultiLanguageString(104);
        return text != nullptr ? text : L"(none)";
    }
    static std::wstring ReadConfigLanguage(const std::wstring& folder) {
        wchar_t value[64] = {};
        ::GetPrivateProfileStringW(L"Install", L"Language", L"(none)", value, 64, (folder + L"\\config.ini").c_str());
        return value;
    }

    int m_SavedLanguage = 0;
};

TEST_F(InterfaceLanguage, TheShippedSkinLoadsNothing) {
    SkinUI::CPaintManagerUI skin;
    LoadSkin(skin, kShippedSkin);
    EXPECT_EQ(0, LoadLanguageStrings(skin, 2, L""));
    EXPECT_EQ(0, LoadLanguageStrings(skin, 1, L"zh-CN"));
    EXPECT_EQ(L"(none)", Text104());
    g_InstallerSettings.m_Language = 2;
    ApplyLanguage(skin, 2);
    EXPECT_EQ(0, g_InstallerSettings.m_Language);
}

TEST_F(InterfaceLanguage, ALanguageFileFillsAndReplacesTheStringTable) {
    SkinUI::CPaintManagerUI skin;
    LoadSkin(skin, kSkinWithLanguageFile);
    EXPECT_EQ(1, LoadLanguageStrings(skin, 1, L""));
    EXPECT_EQ(L"磁盘空间不足", Text104());
    EXPECT_EQ(2, LoadLanguageStrings(skin, 2, L""));
    EXPECT_EQ(L"磁碟空間不足", Text104());
    EXPECT_STREQ(L"安裝路徑", SkinUI::CPaintManagerUI::GetMultiLanguageString(105));

    const struct {
        int number;
        const wchar_t* tag;
        int inEffect;
        const wchar_t* text;
    } cases[] = {
        {0, L"zh-TW", 2, L"磁碟空間不足"},       // a known tag wins
        {1, L"ZH-TW", 1, L"磁盘空间不足"},       // tags compare exactly
        {7, L"", 0, L"Not enough disk space"},  // an unknown number without a tag
        {0, L"en-US", 0, L"Not enough disk space"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.number << " " << c.tag);
        EXPECT_EQ(c.inEffect, LoadLanguageStrings(skin, c.number, c.tag));
        EXPECT_EQ(c.text, Text104());
    }
    ApplyLanguage(skin, 2);
    EXPECT_EQ(2, g_InstallerSettings.m_Language);
}

TEST_F(InterfaceLanguage, TheInstalledProductsLanguageComesFromItsConfigIni) {
    TestSupport::TempFolder product;
    product.Write(L"config.ini", "[Install]\r\nLanguage=zh-TW\r\n");
    TestSupport::TempFolder noConfig;
    SkinUI::CPaintManagerUI withFile;
    LoadSkin(withFile, kSkinWithLanguageFile);
    SkinUI::CPaintManagerUI shipped;
    LoadSkin(shipped, kShippedSkin);
    EXPECT_EQ(2, InstalledProductLanguage(withFile, product.Path()));
    EXPECT_EQ(0, InstalledProductLanguage(withFile, noConfig.Path()));
    EXPECT_EQ(0, InstalledProductLanguage(shipped, product.Path()));
}

TEST_F(InterfaceLanguage, TheInstallProfileRecordsEnglishOrTraditionalChinese) {
    const struct {
        int language;
        const wchar_t* recorded;
    } cases[] = {{0, L"en-US"}, {1, L"en-US"}, {2, L"zh-TW"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        TestSupport::TempFolder product;
        g_InstallerSettings.m_Language = c.language;
        WriteInstallProfile(product.Path());
        EXPECT_EQ(c.recorded, ReadConfigLanguage(product.Path()));
    }
}

TEST_F(InterfaceLanguage, NoLanguageListNoTag) {
    SkinUI::CPaintManagerUI skin;
    LoadSkin(skin, kShippedSkin);
    EXPECT_EQ(L"", SelectedLanguageTag(skin));
}

}  // namespace
