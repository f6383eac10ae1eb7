// Readers of the markup's values: colours, image descriptors and the XML itself.
#include <gtest/gtest.h>

#include "ui/toolkit/image_descriptor.h"
#include "ui/toolkit/markup_values.h"
#include "ui/toolkit/xml_document.h"

namespace {

using namespace SkinUI;

TEST(ParseColourTest, ReadsAlphaRedGreenBlueAfterHashOrZeroX) {
    const struct {
        const wchar_t* text;
        std::uint32_t argb;
    } cases[] = {
        {L"#FF1675FE", 0xFF1675FE}, {L"0xFF1675FE", 0xFF1675FE}, {L"0XFF1675FE", 0xFF1675FE},
        {L"#00000000", 0x00000000}, {L"#26003B76", 0x26003B76}, {L"#ffedf0f4", 0xFFEDF0F4},
        {L"", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.argb, ParseColour(c.text)) << c.text;
}

TEST(MarkupValuesTest, ReadsIntegerListsAndOnlyExactTrue) {
    const RECT rect = ParseRectValue(L"0, 2,15,16");
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(2, rect.top);
    EXPECT_EQ(15, rect.right);
    EXPECT_EQ(16, rect.bottom);
    const RECT partial = ParseRectValue(L"7,8");
    EXPECT_EQ(8, partial.top);
    EXPECT_EQ(0, partial.right);
    const SIZE size = ParseSizeValue(L"600,400");
    EXPECT_EQ(600, size.cx);
    EXPECT_EQ(400, size.cy);
    EXPECT_TRUE(ParseBoolValue(L"true"));
    EXPECT_FALSE(ParseBoolValue(L"True"));
    EXPECT_FALSE(ParseBoolValue(L"1"));
}

TEST(ImageDescriptorTest, ABarePathIsTheWholeDescriptor) {
    const ImageDescriptor bare = ParseImageDescriptor(L"res\\mainWnd\\bg1.png");
    EXPECT_EQ(L"res\\mainWnd\\bg1.png", bare.file);
    EXPECT_FALSE(bare.hasDest);
    EXPECT_FALSE(bare.hasSource);
    EXPECT_EQ(255, bare.fade);
}

TEST(ImageDescriptorTest, ReadsEveryKeyAndToleratesATrailingBlank) {
    const ImageDescriptor check = ParseImageDescriptor(L"file='res\\mainWnd\\Cb1.png' dest='0,2,15,16' ");
    EXPECT_EQ(L"res\\mainWnd\\Cb1.png", check.file);
    ASSERT_TRUE(check.hasDest);
    EXPECT_EQ(0, check.dest.left);
    EXPECT_EQ(2, check.dest.top);
    EXPECT_EQ(15, check.dest.right);
    EXPECT_EQ(16, check.dest.bottom);

    const ImageDescriptor all = ParseImageDescriptor(
        L"file='a.png' source='1,2,3,4' corner='5,6,7,8' mask='#FFFF00FF' fade='128' hole='true' "
        L"xtiled='true' ytiled='false' unknown='x'");
    EXPECT_EQ(L"a.png", all.file);
    EXPECT_TRUE(all.hasSource);
    EXPECT_EQ(4, all.source.bottom);
    EXPECT_EQ(5, all.corner.left);
    EXPECT_EQ(8, all.corner.bottom);
    EXPECT_TRUE(all.hasMask);
    EXPECT_EQ(0xFFFF00FFu, all.mask);
    EXPECT_EQ(128, all.fade);
    EXPECT_TRUE(all.hole);
    EXPECT_TRUE(all.xTiled);
    EXPECT_FALSE(all.yTiled);
}

TEST(XmlDocumentTest, ReadsElementsAttributesEntitiesAndSkipsComments) {
    XmlElement root;
    std::wstring error;
    const std::string text =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- head -->\n"
        "<Window size=\"1,2\"><!-- inside --><Font id='0' name=\"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\"/>"
        "<Label text=\"a &amp; b &lt;&#x41;&#66;&gt;\" /></Window>\n<!-- tail -->";
    ASSERT_TRUE(ParseXmlDocument(text, &root, &error)) << error;
    EXPECT_EQ(L"Window", root.name);
    ASSERT_EQ(2u, root.children.size());
    EXPECT_EQ(L"\u5FAE\u8F6F\u96C5\u9ED1", *root.children[0].Attribute(L"name"));
    EXPECT_EQ(L"a & b <AB>", *root.children[1].Attribute(L"text"));
    EXPECT_EQ(nullptr, root.children[1].Attribute(L"missing"));
}

TEST(XmlDocumentTest, RejectsDocumentsThatAreNotWellFormed) {
    for (const char* text : {"<Window><Label></Window>", "<Window a=b/>", "<Window a='b'>", "", "<Window/><X/>",
                             "<Window t='&bogus;'/>"}) {
        XmlElement root;
        std::wstring error;
        EXPECT_FALSE(ParseXmlDocument(text, &root, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

}  // namespace
