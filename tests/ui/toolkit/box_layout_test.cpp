// The box layout rule as arithmetic: fixed and flexible sizes, outer margins, centring
// between flexible neighbours, hidden children and children larger than their box.
#include <gtest/gtest.h>

#include <vector>

#include "ui/toolkit/box_layout.h"
#include "ui/toolkit/nine_patch.h"

namespace {

using SkinUI::ArrangeBox;
using SkinUI::BoxItem;

void ExpectRect(const RECT& expected, const RECT& actual, const char* what) {
    EXPECT_EQ(expected.left, actual.left) << what;
    EXPECT_EQ(expected.top, actual.top) << what;
    EXPECT_EQ(expected.right, actual.right) << what;
    EXPECT_EQ(expected.bottom, actual.bottom) << what;
}

TEST(BoxLayoutTest, VerticalFixedHeightsAndFlexibleShareOfTheRest) {
    // The main window: a 35-pixel title bar over a flexible page area.
    std::vector<BoxItem> items(2);
    items[0].fixedHeight = 35;
    const auto placed = ArrangeBox(RECT{0, 0, 600, 400}, true, 0, items);
    ExpectRect(RECT{0, 0, 600, 35}, placed[0], "title");
    ExpectRect(RECT{0, 35, 600, 400}, placed[1], "pages");
}

TEST(BoxLayoutTest, FlexibleControlsOnBothSidesCentreAFixedOne) {
    std::vector<BoxItem> items(3);
    items[1].fixedWidth = 220;
    items[1].fixedHeight = 56;
    const auto placed = ArrangeBox(RECT{0, 100, 600, 156}, false, 0, items);
    ExpectRect(RECT{0, 100, 190, 156}, placed[0], "left spacer");
    ExpectRect(RECT{190, 100, 410, 156}, placed[1], "button");
    ExpectRect(RECT{410, 100, 600, 156}, placed[2], "right spacer");
}

TEST(BoxLayoutTest, OuterMarginsTakeSpaceAndTheLastFlexibleChildTakesTheRoundingRest) {
    std::vector<BoxItem> items(4);
    items[0].fixedWidth = 10;
    items[0].padding = RECT{5, 2, 3, 4};
    // Three flexible children share 100 - (5 + 10 + 3) = 82: 27, 27 and 28.
    const auto placed = ArrangeBox(RECT{0, 0, 100, 30}, false, 0, items);
    ExpectRect(RECT{5, 2, 15, 26}, placed[0], "margined");
    ExpectRect(RECT{18, 0, 45, 30}, placed[1], "first share");
    ExpectRect(RECT{45, 0, 72, 30}, placed[2], "second share");
    ExpectRect(RECT{72, 0, 100, 30}, placed[3], "last share");
}

TEST(BoxLayoutTest, AcrossTheAxisAFixedSizeStaysAtTheStartEdge) {
    std::vector<BoxItem> items(2);
    items[0].fixedWidth = 76;
    items[0].fixedHeight = 32;
    items[1].padding = RECT{10, 0, 20, 0};
    const auto placed = ArrangeBox(RECT{50, 20, 250, 120}, true, 0, items);
    ExpectRect(RECT{50, 20, 126, 52}, placed[0], "fixed width at the left edge");
    ExpectRect(RECT{60, 52, 230, 120}, placed[1], "full width less its margins");
}

TEST(BoxLayoutTest, HiddenChildrenTakeNoSpace) {
    std::vector<BoxItem> items(3);
    items[0].fixedHeight = 20;
    items[1].fixedHeight = 40;
    items[1].visible = false;
    const auto placed = ArrangeBox(RECT{0, 0, 10, 100}, true, 0, items);
    ExpectRect(RECT{0, 20, 10, 100}, placed[2], "flexible after a hidden child");
}

TEST(BoxLayoutTest, ChildrenLargerThanTheBoxKeepTheirSizeAndFlexibleOnesGetNothing) {
    std::vector<BoxItem> items(2);
    items[0].fixedWidth = 150;
    const auto placed = ArrangeBox(RECT{0, 0, 100, 10}, false, 0, items);
    ExpectRect(RECT{0, 0, 150, 10}, placed[0], "overflowing");
    ExpectRect(RECT{150, 0, 150, 10}, placed[1], "squeezed out");
}

TEST(NinePatchTest, CornersKeepTheirSizeAndShrinkOnlyWhenTheyDoNotFit) {
    const auto parts = SkinUI::SplitNinePatch(RECT{0, 0, 100, 60}, RECT{0, 0, 300, 32}, RECT{5, 5, 5, 5});
    ExpectRect(RECT{0, 0, 5, 5}, parts[0].target, "top-left target");
    ExpectRect(RECT{0, 0, 5, 5}, parts[0].source, "top-left source");
    ExpectRect(RECT{95, 55, 100, 60}, parts[8].target, "bottom-right target");
    ExpectRect(RECT{295, 27, 300, 32}, parts[8].source, "bottom-right source");
    ExpectRect(RECT{5, 5, 95, 55}, parts[4].target, "middle target");
    EXPECT_TRUE(parts[4].middle);

    // A 6-pixel-wide target cannot hold two 4-pixel corners: each gets 3.
    const auto narrow = SkinUI::SplitNinePatch(RECT{0, 0, 6, 8}, RECT{0, 0, 40, 8}, RECT{4, 4, 4, 4});
    EXPECT_EQ(3, narrow[0].target.right);
    EXPECT_EQ(3, narrow[2].target.left);
    EXPECT_TRUE(narrow[1].empty());

    // An 8-pixel image with 4-pixel corners drawn 10 high: its last corner row fills the middle.
    const auto taller = SkinUI::SplitNinePatch(RECT{0, 0, 40, 10}, RECT{0, 0, 40, 8}, RECT{4, 4, 4, 4});
    ExpectRect(RECT{4, 4, 36, 6}, taller[4].target, "middle target");
    ExpectRect(RECT{4, 3, 36, 4}, taller[4].source, "borrowed middle source");
    EXPECT_FALSE(taller[3].empty());
}

}  // namespace
