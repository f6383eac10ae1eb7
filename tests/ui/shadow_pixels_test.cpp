#include "ui/shadow_pixels.h"

#include <gtest/gtest.h>

namespace {

const ShadowParams kLayoutShadow{6, 10, 20, 1, 1, 0x76 | 0x3B << 8};

std::vector<ShadowSpan> FullRows(int width, int height) {
    return SpansOfRegion(width, height, [](int, int) { return true; });
}

uint32_t Alpha(uint32_t pixel) { return pixel >> 24; }

TEST(ShadowPixels, LayoutShadowOfA600By400Window) {
    const ShadowBitmap bitmap = ComputeShadowPixels(FullRows(600, 400), 600, 400, kLayoutShadow);
    ASSERT_EQ(bitmap.width, 612);
    ASSERT_EQ(bitmap.height, 412);
    // The window sits at (size - offset) = (5, 5) inside the shadow: nothing under it.
    for (int row = 5; row < 405; ++row) {
        for (int x = 5; x < 605; ++x) ASSERT_EQ(bitmap.At(x, row), 0u) << x << "," << row;
    }
    uint32_t strongest = 0;
    for (uint32_t pixel : bitmap.pixels) strongest = std::max(strongest, Alpha(pixel));
    EXPECT_GT(strongest, 0u);
    EXPECT_LE(strongest, 20u) << "no pixel is darker than the darkness";
    // A visible band on every side, fading outwards.
    EXPECT_GT(Alpha(bitmap.At(606, 200)), Alpha(bitmap.At(610, 200)));
    EXPECT_GT(Alpha(bitmap.At(606, 200)), 0u);
    EXPECT_GT(Alpha(bitmap.At(300, 406)), 0u);
    EXPECT_GT(Alpha(bitmap.At(300, 3)), 0u);
    EXPECT_GT(Alpha(bitmap.At(3, 200)), 0u);
}

TEST(ShadowPixels, WithoutRegionEverythingStaysTransparent) {
    const std::vector<ShadowSpan> none = SpansOfRegion(600, 400, [](int, int) { return false; });
    ASSERT_EQ(none[0].start, 600);
    ASSERT_EQ(none[0].end, 0);
    const ShadowBitmap bitmap = ComputeShadowPixels(none, 600, 400, kLayoutShadow);
    ASSERT_EQ(bitmap.pixels.size(), 612u * 412u);
    for (uint32_t pixel : bitmap.pixels) ASSERT_EQ(pixel, 0u);
}

TEST(ShadowPixels, ColourIsReadAsBlueGreenRedAndPremultiplied) {
    struct Case {
        uint32_t color;
        uint32_t expectedAt255;
        uint32_t expectedAt128;
    };
    const Case cases[] = {
        {0xFF0000FF, 0xFFFF0000, 0x80800000},  // "#FF0000FF": red
        {0xFFFF0000, 0xFF0000FF, 0x80000080},  // "#FFFF0000": blue
        {0x26003B76, 0xFF763B00, 0x803B1D00},  // the layouts' colour
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShadowPixel(c.color, 255), c.expectedAt255) << std::hex << c.color;
        EXPECT_EQ(ShadowPixel(c.color, 128), c.expectedAt128) << std::hex << c.color;
    }
    ShadowParams red = kLayoutShadow;
    red.color = 0xFF0000FF;
    red.darkness = 200;
    const ShadowBitmap bitmap = ComputeShadowPixels(FullRows(100, 80), 100, 80, red);
    const uint32_t band = bitmap.At(bitmap.width - 4, 40);
    EXPECT_GT(Alpha(band), 0u);
    EXPECT_EQ(band & 0xFFFF, 0u) << "only the red channel";
    EXPECT_EQ((band >> 16) & 0xFF, Alpha(band));
}

TEST(ShadowPixels, CentredShadowIsSymmetric) {
    ShadowParams centred = kLayoutShadow;
    centred.offsetX = 0;
    centred.offsetY = 0;
    const ShadowBitmap bitmap = ComputeShadowPixels(FullRows(120, 90), 120, 90, centred);
    for (int row = 0; row < bitmap.height; ++row) {
        for (int x = 0; x < bitmap.width; ++x) {
            ASSERT_EQ(bitmap.At(x, row), bitmap.At(bitmap.width - 1 - x, row)) << x << "," << row;
            ASSERT_EQ(bitmap.At(x, row), bitmap.At(x, bitmap.height - 1 - row)) << x << "," << row;
        }
    }
}

TEST(ShadowPixels, RoundedCornersAndNegativeSize) {
    // A window with cut corners: the first rows are narrower.
    const auto cut = [](int x, int y) { return y >= 2 || (x >= 2 - y && x < 48 + y); };
    const std::vector<ShadowSpan> spans = SpansOfRegion(50, 30, cut);
    EXPECT_EQ(spans[0].start, 2);
    EXPECT_EQ(spans[0].end, 48);
    EXPECT_EQ(spans[5].start, 0);
    EXPECT_EQ(spans[5].end, 50);

    ShadowParams inset = kLayoutShadow;
    inset.size = -3;
    const ShadowBitmap smaller = ComputeShadowPixels(spans, 50, 30, inset);
    EXPECT_EQ(smaller.width, 44);
    EXPECT_EQ(smaller.height, 24);
    EXPECT_EQ(smaller.pixels.size(), 44u * 24u);
}

}  // namespace
