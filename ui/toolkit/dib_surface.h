// A 32-bit top-down DIB section selected into its own memory DC: the back buffer of a
// window, the pixels of a decoded image, and the target of offscreen renders.
// Pixels are 0xAARRGGBB values, row after row from the top.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/toolkit/gdi_handles.h"

namespace SkinUI {

class DibSurface {
public:
    DibSurface() = default;
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    // Replaces any earlier surface; all pixels start as 0. False when GDI refuses.
    bool Create(int width, int height);
    bool IsValid() const { return m_Bits != nullptr; }

    HDC Dc() const { return m_Dc.get(); }
    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    std::uint32_t* Bits() { return m_Bits; }
    const std::uint32_t* Bits() const { return m_Bits; }
    // 0 outside the surface.
    std::uint32_t Pixel(int x, int y) const;
    void Fill(std::uint32_t value);

private:
    // Declared before the DC so the DC goes first and releases its selection.
    UniqueBitmap m_Bitmap;
    UniqueMemoryDc m_Dc;
    std::uint32_t* m_Bits = nullptr;
    int m_Width = 0;
    int m_Height = 0;
};

// Writes the surface as a 24-bit BMP file (alpha dropped), for pictures of rendered windows.
bool WriteBmp(const std::wstring& path, const DibSurface& surface);

}  // namespace SkinUI
