#include "ui/toolkit/dib_surface.h"

#include <algorithm>

namespace SkinUI {

bool DibSurface::Create(int width, int height) {
    m_Dc.reset();
    m_Bitmap.reset();
    m_Bits = nullptr;
    m_Width = m_Height = 0;
    if (width <= 0 || height <= 0) return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) return false;
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc) return false;
    ::SelectObject(dc.get(), bitmap.get());

    m_Bitmap = std::move(bitmap);
    m_Dc = std::move(dc);
    m_Bits = static_cast<std::uint32_t*>(bits);
    m_Width = width;
    m_Height = height;
    Fill(0);
    return true;
}

std::uint32_t DibSurface::Pixel(int x, int y) const {
    if (m_Bits == nullptr || x < 0 || y < 0 || x >= m_Width || y >= m_Height) return 0;
    ::GdiFlush();  // GDI may batch drawing calls; the bits must be current
    return m_Bits[static_cast<size_t>(y) * m_Width + x];
}

void DibSurface::Fill(std::uint32_t value) {
    if (m_Bits == nullptr) return;
    ::GdiFlush();
    std::fill(m_Bits, m_Bits + static_cast<size_t>(m_Width) * m_Height, value);
}

}  // namespace SkinUI
