#include "ui/toolkit/dib_surface.h"

#include <algorithm>
#include <cstdio>
#include <string>

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

bool WriteBmp(const std::wstring& path, const DibSurface& surface) {
    const int width = surface.Width(), height = surface.Height();
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;  // bottom-up rows
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride) * height;
    FILE* out = ::_wfopen(path.c_str(), L"wb");
    if (out == nullptr) return false;
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info, sizeof(info), 1, out);
    std::string row(static_cast<size_t>(stride), '\0');
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = surface.Pixel(x, y);
            row[static_cast<size_t>(x) * 3 + 0] = static_cast<char>(pixel & 0xFF);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<char>((pixel >> 8) & 0xFF);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<char>((pixel >> 16) & 0xFF);
        }
        std::fwrite(row.data(), 1, row.size(), out);
    }
    return std::fclose(out) == 0;
}

}  // namespace SkinUI
