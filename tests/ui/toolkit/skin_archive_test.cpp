// The skin archive embedded in this test program (the same archive the installer embeds):
// how items are found, what the archive holds, and archives that cannot be read.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>

#include "ui/toolkit/skin_archive.h"
#include "ui/toolkit/skin_source.h"

namespace {

using SkinUI::SkinArchive;
using SkinUI::SkinPathMatches;

struct LookupCase {
    const wchar_t* requested;
    const wchar_t* stored;
    bool matches;
};

TEST(SkinPathMatchesTest, BackslashesBecomeSlashesAndCaseIsIgnoredAtEqualLength) {
    const LookupCase cases[] = {
        {L"MainWnd.xml", L"mainWnd.xml", true},
        {L"ExitTipWnd.xml", L"exitTipWnd.xml", true},
        {L"res\\mainWnd\\bg1.png", L"res/mainWnd/bg1.png", true},
        {L"res/mainWnd/chDirBtn1.png", L"res/mainWnd/chDirBtn1.png", true},
        {L"RES\\MAINWND\\CHDIRBTN1.PNG", L"res/mainWnd/chDirBtn1.png", true},
        {L"mainWnd.xm", L"mainWnd.xml", false},
        {L"mainWnd.xml ", L"mainWnd.xml", false},
        {L"/mainWnd.xml", L"mainWnd.xml", false},
        {L"res/mainWnd/bg1.png", L"res/mainWnd/bg2.png", false},
        // Only the request is normalised: a stored backslash never matches a slash.
        {L"res/common/minbtn1.png", L"res\\common\\minbtn1.png", false},
    };
    for (const LookupCase& c : cases) {
        EXPECT_EQ(c.matches, SkinPathMatches(c.requested, c.stored)) << c.requested << L" vs " << c.stored;
    }
}

class EmbeddedSkinTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_Archive.OpenResource(::GetModuleHandleW(nullptr), SkinUI::kSkinArchiveResourceId));
    }
    SkinArchive m_Archive;
};

TEST_F(EmbeddedSkinTest, HoldsTheSixLayoutsAndTheImagesOfTheSkin) {
    EXPECT_EQ(133u, m_Archive.Items().size());
    size_t layouts = 0, images = 0;
    std::set<std::wstring> folders;
    for (const SkinArchive::Item& item : m_Archive.Items()) {
        EXPECT_EQ(std::wstring::npos, item.path.find(L'\\')) << item.path;
        EXPECT_GT(item.size, 0u) << item.path;
        const std::wstring extension = item.path.substr(item.path.size() - 4);
        if (extension == L".xml") {
            ++layouts;
            EXPECT_EQ(std::wstring::npos, item.path.find(L'/')) << L"layouts lie at the root: " << item.path;
        } else if (extension == L".png") {
            ++images;
            EXPECT_EQ(0u, item.path.find(L"res/")) << item.path;
            folders.insert(item.path.substr(0, item.path.find_last_of(L'/')));
        }
    }
    EXPECT_EQ(6u, layouts);
    EXPECT_EQ(127u, images);
    EXPECT_EQ((std::set<std::wstring>{L"res/common", L"res/MessageBoxWnd", L"res/mainWnd",
                                      L"res/mainWnd/installBtnAnimate"}),
              folders);
    for (int frame = 0; frame < 89; ++frame) {
        wchar_t name[64];
        swprintf(name, 64, L"res\\mainWnd\\installBtnAnimate\\%.3d.png", frame);
        EXPECT_NE(nullptr, m_Archive.Find(name)) << name;
    }
}

TEST_F(EmbeddedSkinTest, FindsItemsByTheLookupRule) {
    const SkinArchive::Item* layout = m_Archive.Find(L"MainWnd.xml");
    ASSERT_NE(nullptr, layout);
    EXPECT_EQ(L"mainWnd.xml", layout->path);
    EXPECT_EQ(0, std::string(reinterpret_cast<const char*>(layout->data), 5).compare("<?xml"));

    const SkinArchive::Item* forward = m_Archive.Find(L"res/mainWnd/chDirBtn1.png");
    const SkinArchive::Item* backward = m_Archive.Find(L"res\\mainWnd\\chDirBtn1.png");
    ASSERT_NE(nullptr, forward);
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(L"exitTipWnd.xml", m_Archive.Find(L"ExitTipWnd.xml")->path);
}

TEST_F(EmbeddedSkinTest, TheImagesTheLayoutsNameButTheSkinLacksAreNotFound) {
    for (const wchar_t* missing : {L"res\\common\\minbtn4.png", L"res\\common\\closebtn4.png",
                                   L"res\\common\\closebtnM_4.png", L"res\\mainWnd\\installPrg3.png"}) {
        EXPECT_EQ(nullptr, m_Archive.Find(missing)) << missing;
    }
}

TEST(SkinArchiveTest, RefusesWhatIsNotAnArchiveAndAMissingResource) {
    SkinArchive archive;
    EXPECT_FALSE(archive.Open("not an archive at all"));
    EXPECT_FALSE(archive.IsOpen());
    EXPECT_TRUE(archive.Items().empty());
    // A 7z signature followed by nothing useful.
    EXPECT_FALSE(archive.Open(std::string("7z\xBC\xAF\x27\x1C\x00\x04", 8) + std::string(32, '\0')));
    EXPECT_FALSE(archive.OpenResource(::GetModuleHandleW(nullptr), 999));
    EXPECT_EQ(nullptr, archive.Find(L"mainWnd.xml"));
}

}  // namespace
