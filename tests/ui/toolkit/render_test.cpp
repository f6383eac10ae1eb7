// Pixels of controls rendered offscreen into a memory bitmap: what must be where.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/ui/toolkit/offscreen_layout.h"
#include "ui/toolkit/button_ui.h"
#include "ui/toolkit/label_ui.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/progress_ui.h"
#include "ui/toolkit/skin_image.h"

namespace {

using namespace SkinUI;
using ToolkitTest::BlendOver;
using ToolkitTest::ChannelDistance;
using ToolkitTest::OffscreenLayout;

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kRed = 0xFF0000;

std::string Window(int width, int height, const std::string& body) {
    return "<Window size=\"" + std::to_string(width) + "," + std::to_string(height) +
           "\"><Font id=\"0\" name=\"Tahoma\" size=\"14\" default=\"true\"/>" + body + "</Window>";
}

// The colour a premultiplied pixel drawn with constant opacity `fade` leaves on `backgroundRgb`.
std::uint32_t BlendFaded(std::uint32_t premultiplied, unsigned fade, std::uint32_t backgroundRgb) {
    const std::uint32_t alpha = (premultiplied >> 24) * fade / 255;
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t source = ((premultiplied >> shift) & 0xFF) * fade / 255;
        result |= (source + ((backgroundRgb >> shift) & 0xFF) * (255 - alpha) / 255) << shift;
    }
    return result;
}

TEST(RenderTest, ProgressFillCoversTheValueShareOfTheBar) {
    OffscreenLayout layout(Window(200, 10,
        "<HorizontalLayout bkcolor=\"#FFFFFFFF\"><Progress name=\"bar\" width=\"200\" height=\"10\" "
        "foreimage=\"file='res\\mainWnd\\installPrg2.png' corner='4,4,4,4'\" /></HorizontalLayout>"));
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
    auto* bar = layout.FindAs<CProgressUI>(L"bar");
    const struct {
        int set;
        int value;
        int fill;
    } cases[] = {{0, 0, 0}, {30, 30, 60}, {50, 50, 100}, {100, 100, 200}, {150, 100, 200}, {-5, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set);
        bar->SetValue(c.set);
        EXPECT_EQ(c.value, bar->GetValue());
        layout.Render();
        EXPECT_EQ(c.fill, bar->FillWidth());
        // Middle row: blue fill up to the fill width (rounded ends aside), white after it.
        for (int x = 0; x < 200; x += 5) {
            const std::uint32_t pixel = layout.Rgb(x, 5);
            if (x >= 4 && x < c.fill - 4) {
                EXPECT_LT(ChannelDistance(pixel, 0x1675FE), 48) << std::hex << pixel << " at " << std::dec << x;
            } else if (x >= c.fill) {
                EXPECT_EQ(kWhite, pixel) << "at " << x;
            }
        }
    }
}

TEST(RenderTest, NinePatchCornersKeepTheirSizeWhileTheMiddleStretches) {
    // The 300 x 32 edit box image drawn into 100 x 60: its 5-pixel corners stay 1:1.
    OffscreenLayout layout(Window(100, 60,
        "<Control bkcolor=\"#FF00FF00\" bkimage=\"file='res\\mainWnd\\installDirEdit.png' corner='5,5,5,5'\" />"));
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
    layout.Render();
    const SkinImage* decoded = layout.Manager().GetImage(L"res\\mainWnd\\installDirEdit.png");
    ASSERT_NE(nullptr, decoded);
    const SkinImage& image = *decoded;
    ASSERT_EQ(300, image.Width());
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_LE(ChannelDistance(BlendOver(image.Pixel(x, y), kGreen), layout.Rgb(x, y)), 2) << x << "," << y;
            EXPECT_LE(ChannelDistance(BlendOver(image.Pixel(295 + x, 27 + y), kGreen), layout.Rgb(95 + x, 55 + y)), 2)
                << x << "," << y;
        }
    }
    // The edges stretch: the top border line runs along the whole width, the middle is white.
    EXPECT_LE(ChannelDistance(BlendOver(image.Pixel(150, 0), kGreen), layout.Rgb(50, 0)), 2);
    EXPECT_EQ(kWhite, layout.Rgb(50, 30));
}

TEST(RenderTest, AHalfTransparentImageIsBlendedOverWhatLiesBelow) {
    // finished.png has a pale ring (alpha 30) around an opaque disc.
    OffscreenLayout layout(Window(96, 96, "<Control bkcolor=\"#FFFF0000\" bkimage=\"res\\mainWnd\\finished.png\" />"));
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
    layout.Render();
    const SkinImage* decoded = layout.Manager().GetImage(L"res\\mainWnd\\finished.png");
    ASSERT_NE(nullptr, decoded);
    const SkinImage& image = *decoded;
    const std::uint32_t ring = image.Pixel(6, 48);
    ASSERT_GT(ring >> 24, 10u);
    ASSERT_LT(ring >> 24, 60u);
    EXPECT_LE(ChannelDistance(BlendOver(ring, kRed), layout.Rgb(6, 48)), 2) << std::hex << layout.Rgb(6, 48);
    EXPECT_NE(kRed, layout.Rgb(6, 48));
    EXPECT_EQ(kRed, layout.Rgb(0, 0)) << "fully transparent corner";
    EXPECT_LE(ChannelDistance(0x1675FE, layout.Rgb(20, 48)), 2) << "opaque disc";

    // A fade of 128 halves an opaque image's weight.
    OffscreenLayout faded(Window(40, 8,
        "<Control bkcolor=\"#FFFFFFFF\" bkimage=\"file='res\\mainWnd\\installPrg2.png' fade='128'\" />"));
    faded.Render();
    const SkinImage* fill = faded.Manager().GetImage(L"res\\mainWnd\\installPrg2.png");
    ASSERT_NE(nullptr, fill);
    const std::uint32_t half = faded.Rgb(20, 4);
    EXPECT_LE(ChannelDistance(half, BlendFaded(fill->Pixel(20, 4), 128, kWhite)), 3) << std::hex << half;
    EXPECT_GT(ChannelDistance(half, BlendOver(fill->Pixel(20, 4), kWhite)), 40) << "the fade made a difference";
}

TEST(RenderTest, DescriptorWithTrailingBlankDrawsIntoItsDestRectangle) {
    OffscreenLayout layout(Window(40, 20,
        "<Control bkcolor=\"#FFFF0000\" bkimage=\"file='res\\mainWnd\\Cb1.png' dest='0,2,15,16' \" />"));
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
    layout.Render();
    const SkinImage* decoded = layout.Manager().GetImage(L"res\\mainWnd\\Cb1.png");
    ASSERT_NE(nullptr, decoded);
    const SkinImage& image = *decoded;
    ASSERT_EQ(15, image.Width());
    ASSERT_EQ(14, image.Height());
    for (int x = 0; x < 40; ++x) {
        EXPECT_EQ(kRed, layout.Rgb(x, 0)) << x;
        EXPECT_EQ(kRed, layout.Rgb(x, 1)) << x;
        EXPECT_EQ(kRed, layout.Rgb(x, 16)) << x;
    }
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 15; ++x) {
            EXPECT_LE(ChannelDistance(BlendOver(image.Pixel(x, y), kRed), layout.Rgb(x, y + 2)), 2) << x << "," << y;
        }
        EXPECT_EQ(kRed, layout.Rgb(15, y + 2));
    }
}

// Rows holding dark (text) pixels inside the label.
void TextRows(OffscreenLayout& layout, int* first, int* last) {
    *first = -1;
    *last = -1;
    const SIZE size = layout.Manager().GetInitSize();
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            if (ChannelDistance(layout.Rgb(x, y), kWhite) > 100) {
                if (*first < 0) *first = y;
                *last = y;
                break;
            }
        }
    }
}

TEST(RenderTest, VerticalAlignmentOfLabelText) {
    const struct {
        const char* valign;
        bool centred;
    } cases[] = {{nullptr, true}, {"center", true}, {"vcenter", true}, {"top", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.valign != nullptr ? c.valign : "(default)");
        const std::string valign = c.valign != nullptr ? std::string(" valign=\"") + c.valign + "\"" : "";
        OffscreenLayout layout(Window(200, 100, "<Label name=\"l\" text=\"Ag\" textcolor=\"#FF000000\" "
                                                "bkcolor=\"#FFFFFFFF\"" + valign + " />"));
        ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
        layout.Render();
        int first = 0, last = 0;
        TextRows(layout, &first, &last);
        ASSERT_GE(first, 0) << "no text drawn";
        const int middle = (first + last) / 2;
        if (c.centred) {
            EXPECT_NEAR(50, middle, 6);
        } else {
            EXPECT_LT(first, 10);
        }
        EXPECT_EQ(static_cast<UINT>(c.centred ? DT_VCENTER : DT_TOP),
                  layout.FindAs<CLabelUI>(L"l")->GetTextStyle() & (DT_VCENTER | DT_TOP | DT_BOTTOM));
        if (c.valign == nullptr) {
            EXPECT_EQ(static_cast<UINT>(DT_LEFT | DT_VCENTER | DT_SINGLELINE), layout.FindAs<CLabelUI>(L"l")->GetTextStyle());
            int leftmost = -1;
            for (int x = 0; x < 200 && leftmost < 0; ++x) {
                for (int y = 0; y < 100; ++y) {
                    if (ChannelDistance(layout.Rgb(x, y), kWhite) > 100) {
                        leftmost = x;
                        break;
                    }
                }
            }
            EXPECT_GE(leftmost, 0);
            EXPECT_LT(leftmost, 8) << "left-aligned";
        }
    }
}

TEST(RenderTest, AProgressBarWithoutAHeightIsTwelvePixelsHigh) {
    OffscreenLayout layout(Window(100, 50, "<VerticalLayout><Progress name=\"bar\" /><Control /></VerticalLayout>"));
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
    layout.Render();
    const RECT& bar = layout.Find(L"bar")->GetPos();
    EXPECT_EQ(12, bar.bottom - bar.top);
    EXPECT_EQ(100, bar.right - bar.left);
}

TEST(RenderTest, WrappedTextStaysCentredVertically) {
    OffscreenLayout layout(Window(120, 200,
        "<Label text=\"one two three four five six seven\" multiline=\"true\" align=\"center\" "
        "textcolor=\"#FF000000\" bkcolor=\"#FFFFFFFF\" />"));
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
    layout.Render();
    int first = 0, last = 0;
    TextRows(layout, &first, &last);
    ASSERT_GE(first, 0);
    EXPECT_GT(last - first, 30) << "several lines";
    EXPECT_NEAR(100, (first + last) / 2, 8);
}

TEST(RenderTest, AButtonWithAMissingDisabledImageShowsOnlyItsBackgroundWhileDisabled) {
    OffscreenLayout layout(Window(60, 30,
        "<Button name=\"b\" bkcolor=\"#FF00FF00\" normalimage=\"res\\mainWnd\\installPrg2.png\" "
        "disabledimage=\"res\\common\\minbtn4.png\" />"));
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
    layout.Render();
    EXPECT_LT(ChannelDistance(layout.Rgb(30, 15), 0x1675FE), 48) << std::hex << layout.Rgb(30, 15);
    layout.Find(L"b")->SetEnabled(false);
    layout.Render();
    EXPECT_EQ(kGreen, layout.Rgb(30, 15));
    layout.Find(L"b")->SetEnabled(true);
    layout.Render();
    EXPECT_LT(ChannelDistance(layout.Rgb(30, 15), 0x1675FE), 48);
}

TEST(RenderTest, ButtonStateColoursFollowTheMouse) {
    OffscreenLayout layout(Window(80, 40,
        "<Button name=\"b\" bkcolor=\"#FF1675FE\" hotbkcolor=\"#FF5A9DFD\" pushedbkcolor=\"#FF1365DB\" />"));
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
    layout.Render();
    CControlUI* button = layout.Find(L"b");
    ControlEvent event;
    event.point = POINT{40, 20};
    EXPECT_EQ(0x1675FEu, layout.Rgb(40, 20));
    event.type = EventType::MouseEnter;
    button->Event(event);
    layout.Render();
    EXPECT_EQ(0x5A9DFDu, layout.Rgb(40, 20));
    event.type = EventType::ButtonDown;
    button->Event(event);
    layout.Render();
    EXPECT_EQ(0x1365DBu, layout.Rgb(40, 20));
}

TEST(RenderTest, AChildLargerThanItsParentIsClippedToTheParent) {
    OffscreenLayout layout(Window(200, 20,
        "<HorizontalLayout bkcolor=\"#FFFFFFFF\"><HorizontalLayout width=\"50\">"
        "<Control width=\"120\" bkcolor=\"#FFFF0000\" /></HorizontalLayout></HorizontalLayout>"));
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
    layout.Render();
    EXPECT_EQ(kRed, layout.Rgb(10, 10));
    EXPECT_EQ(kRed, layout.Rgb(49, 10));
    EXPECT_EQ(kWhite, layout.Rgb(50, 10));
    EXPECT_EQ(kWhite, layout.Rgb(100, 10));
}

TEST(RenderTest, BothColourFormsAndTranslucentFills) {
    OffscreenLayout layout(Window(30, 10,
        "<HorizontalLayout bkcolor=\"#FFFFFFFF\"><Control bkcolor=\"#FF102030\" /><Control bkcolor=\"0xFF102030\" />"
        "<Control bkcolor=\"#80000000\" /></HorizontalLayout>"));
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
    layout.Render();
    EXPECT_EQ(0x102030u, layout.Rgb(5, 5));
    EXPECT_EQ(0x102030u, layout.Rgb(15, 5));
    EXPECT_LE(ChannelDistance(0x7F7F7F, layout.Rgb(25, 5)), 2) << std::hex << layout.Rgb(25, 5);
}

TEST(RenderTest, BorderAndDrawingOrder) {
    // Background fill, then image, then border on top of both.
    OffscreenLayout layout(Window(20, 20,
        "<Control bkcolor=\"#FF00FF00\" bkimage=\"file='res\\mainWnd\\installPrg2.png' dest='0,0,20,8'\" "
        "bordersize=\"1\" bordercolor=\"#FFFF0000\" />"));
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
    layout.Render();
    EXPECT_EQ(kRed, layout.Rgb(0, 4)) << "border over the image";
    EXPECT_EQ(kRed, layout.Rgb(10, 19)) << "border over the fill";
    EXPECT_EQ(kGreen, layout.Rgb(10, 14));
    EXPECT_LT(ChannelDistance(layout.Rgb(10, 4), 0x1675FE), 48);
}

TEST(RenderTest, MaskTurnsAMatchingPixelTransparent) {
    // The edit box image's middle is opaque white: masking white lets the fill show through.
    OffscreenLayout layout(Window(30, 30,
        "<Control bkcolor=\"#FF00FF00\" bkimage=\"file='res\\mainWnd\\installDirEdit.png' source='100,10,130,20' "
        "mask='#FFFFFFFF'\" />"));
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
    layout.Render();
    EXPECT_EQ(kGreen, layout.Rgb(15, 15));
}

}  // namespace
