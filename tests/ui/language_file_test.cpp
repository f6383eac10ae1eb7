#include "ui/language_file.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::pair<std::wstring, std::wstring>>;

const char kFile[] = R"([
  {"id": 104, "en-US": "Not enough disk space", "zh-CN": "磁盘空间不足", "zh-TW": "磁碟空間不足"},
  {"id": 7, "zh-CN": "只有中文"},
  {"en-US": "no id"}
])";

TEST(LanguageFile, TagsAndNumbers) {
    struct Case {
        int number;
        std::wstring tag;
        int resolved;
    };
    const Case cases[] = {
        {0, L"", 0}, {2, L"", 2}, {7, L"", 0}, {-1, L"", 0},
        {0, L"zh-TW", 2}, {2, L"en-US", 0}, {1, L"ZH-TW", 1}, {9, L"xx", 9},
    };
    for (const Case& c : cases) EXPECT_EQ(ResolveLanguageNumber(c.number, c.tag), c.resolved) << c.number;
    EXPECT_EQ(LanguageTag(0), L"en-US");
    EXPECT_EQ(LanguageTag(1), L"zh-CN");
    EXPECT_EQ(LanguageTag(2), L"zh-TW");
}

TEST(LanguageFile, TextsOfEachLanguage) {
    Texts chinese;
    ASSERT_TRUE(ParseLanguageFile(kFile, 1, &chinese));
    EXPECT_EQ(chinese, (Texts{{L"104", L"磁盘空间不足"}, {L"7", L"只有中文"}, {L"0", L""}}));

    Texts traditional;
    ASSERT_TRUE(ParseLanguageFile(kFile, 2, &traditional));
    EXPECT_EQ(traditional[0], (std::pair<std::wstring, std::wstring>{L"104", L"磁碟空間不足"}));

    Texts english;
    ASSERT_TRUE(ParseLanguageFile(kFile, 0, &english));
    EXPECT_EQ(english, (Texts{{L"104", L"Not enough disk space"}, {L"7", L""}, {L"0", L"no id"}}));
}

TEST(LanguageFile, TopLevelObjectAndBrokenFiles) {
    Texts texts;
    ASSERT_TRUE(ParseLanguageFile(R"({"a": {"id": 3, "en-US": "x"}})", 0, &texts));
    EXPECT_EQ(texts, (Texts{{L"3", L"x"}}));
    Texts none;
    EXPECT_FALSE(ParseLanguageFile("{\"id\": ", 0, &none));
    EXPECT_FALSE(ParseLanguageFile("42", 0, &none));
    EXPECT_TRUE(none.empty());
}

}  // namespace
