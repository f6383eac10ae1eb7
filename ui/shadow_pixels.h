// The pixels of a computed drop shadow: a blurred band around the parent's window region,
// premultiplied for a per-pixel-alpha layered window, with the area under the window
// itself left fully transparent. Plain values in, a bottom-up 32-bit bitmap out.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct ShadowSpan {
    int start;  // first column inside
    int end;    // one past the last column inside; start >= end means empty
};

struct ShadowParams {
    int size = 0;        // -20..20
    int sharpness = 5;   // 0..20
    int darkness = 150;  // 0..255
    int offsetX = 5;     // -20..20
    int offsetY = 5;     // -20..20
    uint32_t color = 0;  // 0x00BBGGRR
};

// One span per parent row: the first and one past the last column where `inside` holds;
// (width, 0) for a row with no point inside.
std::vector<ShadowSpan> SpansOfRegion(int width, int height, const std::function<bool(int x, int y)>& inside);

// Premultiplied ARGB of `color` at `opacity`.
uint32_t ShadowPixel(uint32_t color, int opacity);

struct ShadowBitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // bottom-up: shadow row i is line height - i - 1

    uint32_t At(int x, int row) const { return pixels[static_cast<size_t>(height - row - 1) * width + x]; }
};

// The shadow of a parent of `width` x `height` whose rows are `parentSpans`.
ShadowBitmap ComputeShadowPixels(const std::vector<ShadowSpan>& parentSpans, int width, int height,
                                 const ShadowParams& params);
