// A decoded skin image: 32-bit pixels with premultiplied alpha in a DIB section, ready to
// be drawn with alpha blending.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "ui/toolkit/dib_surface.h"

namespace SkinUI {

class SkinImage {
public:
    // Decodes PNG (or another format stb_image reads) bytes; nullptr when they cannot be
    // decoded. With a mask, pixels equal to it after premultiplying become transparent.
    static std::unique_ptr<SkinImage> Decode(const void* bytes, size_t size, bool useMask = false,
                                             std::uint32_t mask = 0);

    int Width() const { return m_Surface.Width(); }
    int Height() const { return m_Surface.Height(); }
    HDC Dc() const { return m_Surface.Dc(); }
    // False when every pixel is opaque: then plain blits do.
    bool HasAlpha() const { return m_HasAlpha; }
    std::uint32_t Pixel(int x, int y) const { return m_Surface.Pixel(x, y); }

private:
    DibSurface m_Surface;
    bool m_HasAlpha = false;
};

// Premultiplies one straight-alpha 0xAARRGGBB pixel.
std::uint32_t PremultiplyPixel(std::uint32_t argb);

}  // namespace SkinUI
