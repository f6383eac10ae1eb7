#include "ui/toolkit/render_engine.h"

#include <algorithm>

#include "ui/toolkit/gdi_handles.h"
#include "ui/toolkit/nine_patch.h"

namespace SkinUI {
namespace Render {

namespace {

COLORREF ToColorRef(std::uint32_t argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

bool IsEmpty(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

// A 1 × 1 premultiplied pixel stretched over the target blends a translucent colour.
void BlendColour(HDC dc, const RECT& rect, std::uint32_t argb) {
    DibSurface pixel;
    if (!pixel.Create(1, 1)) return;
    pixel.Bits()[0] = PremultiplyPixel(argb);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, pixel.Dc(), 0, 0, 1, 1,
                 blend);
}

void Blit(HDC dc, const RECT& target, const SkinImage& image, const RECT& source, unsigned char fade) {
    if (IsEmpty(target) || IsEmpty(source)) return;
    const int targetWidth = target.right - target.left;
    const int targetHeight = target.bottom - target.top;
    const int sourceWidth = source.right - source.left;
    const int sourceHeight = source.bottom - source.top;
    if (!image.HasAlpha() && fade == 255) {
        if (targetWidth == sourceWidth && targetHeight == sourceHeight) {
            ::BitBlt(dc, target.left, target.top, targetWidth, targetHeight, image.Dc(), source.left, source.top,
                     SRCCOPY);
        } else {
            ::StretchBlt(dc, target.left, target.top, targetWidth, targetHeight, image.Dc(), source.left, source.top,
                         sourceWidth, sourceHeight, SRCCOPY);
        }
        return;
    }
    BLENDFUNCTION blend{AC_SRC_OVER, 0, fade, static_cast<BYTE>(image.HasAlpha() ? AC_SRC_ALPHA : 0)};
    ::AlphaBlend(dc, target.left, target.top, targetWidth, targetHeight, image.Dc(), source.left, source.top,
                 sourceWidth, sourceHeight, blend);
}

// Repeats the source part across the target instead of stretching it along the tiled axes.
void TilePart(HDC dc, const RECT& target, const SkinImage& image, const RECT& source, unsigned char fade,
              bool xTiled, bool yTiled) {
    const long stepX = xTiled ? source.right - source.left : target.right - target.left;
    const long stepY = yTiled ? source.bottom - source.top : target.bottom - target.top;
    if (stepX <= 0 || stepY <= 0) return;
    for (long y = target.top; y < target.bottom; y += stepY) {
        for (long x = target.left; x < target.right; x += stepX) {
            RECT piece{x, y, std::min(x + stepX, target.right), std::min(y + stepY, target.bottom)};
            RECT from = source;
            if (xTiled) from.right = from.left + (piece.right - piece.left);
            if (yTiled) from.bottom = from.top + (piece.bottom - piece.top);
            Blit(dc, piece, image, xTiled || yTiled ? from : source, fade);
        }
    }
}

}  // namespace

void FillColour(HDC dc, const RECT& rect, std::uint32_t argb) {
    const std::uint32_t alpha = argb >> 24;
    if (alpha == 0 || IsEmpty(rect)) return;
    if (alpha < 255) {
        BlendColour(dc, rect, argb);
        return;
    }
    UniqueBrush brush(::CreateSolidBrush(ToColorRef(argb)));
    ::FillRect(dc, &rect, brush.get());
}

void FillRoundColour(HDC dc, const RECT& rect, std::uint32_t argb, SIZE round) {
    if (round.cx <= 0 && round.cy <= 0) {
        FillColour(dc, rect, argb);
        return;
    }
    if ((argb >> 24) == 0 || IsEmpty(rect)) return;
    // Rounded translucent fills are rare; a clip region keeps the blend inside the corners.
    UniqueRegion region(::CreateRoundRectRgn(rect.left, rect.top, rect.right + 1, rect.bottom + 1, round.cx, round.cy));
    SavedDcState saved(dc);
    ::ExtSelectClipRgn(dc, region.get(), RGN_AND);
    FillColour(dc, rect, argb);
}

void DrawBorder(HDC dc, const RECT& rect, int size, std::uint32_t argb, SIZE round) {
    if (size <= 0 || (argb >> 24) == 0 || IsEmpty(rect)) return;
    if (round.cx > 0 || round.cy > 0) {
        UniquePen pen(::CreatePen(PS_INSIDEFRAME, size, ToColorRef(argb)));
        SelectionGuard penSelection(dc, pen.get());
        SelectionGuard brushSelection(dc, ::GetStockObject(NULL_BRUSH));
        ::RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, round.cx, round.cy);
        return;
    }
    FillColour(dc, RECT{rect.left, rect.top, rect.right, rect.top + size}, argb);
    FillColour(dc, RECT{rect.left, rect.bottom - size, rect.right, rect.bottom}, argb);
    FillColour(dc, RECT{rect.left, rect.top + size, rect.left + size, rect.bottom - size}, argb);
    FillColour(dc, RECT{rect.right - size, rect.top + size, rect.right, rect.bottom - size}, argb);
}

void DrawImage(HDC dc, const SkinImage& image, const RECT& target, const ImageDescriptor& descriptor) {
    if (IsEmpty(target)) return;
    RECT source{0, 0, image.Width(), image.Height()};
    if (descriptor.hasSource) {
        source.left = std::max(0L, descriptor.source.left);
        source.top = std::max(0L, descriptor.source.top);
        source.right = std::min(static_cast<long>(image.Width()), descriptor.source.right);
        source.bottom = std::min(static_cast<long>(image.Height()), descriptor.source.bottom);
    }
    if (IsEmpty(source)) return;

    const bool tiled = descriptor.xTiled || descriptor.yTiled;
    for (const PatchPart& part : SplitNinePatch(target, source, descriptor.corner)) {
        if (part.empty()) continue;
        if (part.middle) {
            if (descriptor.hole) continue;
            if (tiled) {
                TilePart(dc, part.target, image, part.source, descriptor.fade, descriptor.xTiled, descriptor.yTiled);
                continue;
            }
        }
        Blit(dc, part.target, image, part.source, descriptor.fade);
    }
}

void PaintText(HDC dc, const RECT& rect, const std::wstring& text, std::uint32_t argb, HFONT font, UINT style) {
    if (text.empty() || IsEmpty(rect)) return;
    SelectionGuard fontSelection(dc, font != nullptr ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = ::SetTextColor(dc, ToColorRef(argb));
    RECT area = rect;
    UINT flags = style | DT_NOPREFIX;
    if ((flags & DT_SINGLELINE) == 0 && (flags & (DT_VCENTER | DT_BOTTOM)) != 0) {
        // DrawText places wrapped text at the top only; measure it and move it down.
        RECT measured = rect;
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, (flags | DT_CALCRECT) & ~(DT_VCENTER | DT_BOTTOM));
        const long height = measured.bottom - measured.top;
        const long spare = (rect.bottom - rect.top) - height;
        if (spare > 0) area.top += (flags & DT_BOTTOM) != 0 ? spare : spare / 2;
        flags &= ~(DT_VCENTER | DT_BOTTOM);
    }
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, flags);
    ::SetTextColor(dc, previousColour);
    ::SetBkMode(dc, previousMode);
}

SIZE MeasureText(HDC dc, HFONT font, const std::wstring& text) {
    SelectionGuard fontSelection(dc, font != nullptr ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

}  // namespace Render
}  // namespace SkinUI
