// The drawing primitives controls paint with: colour fills (opaque or blended), borders,
// skin images through their descriptors, and text. Everything draws into the DC's current
// clip region, so a control's clip keeps its children inside it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/toolkit/image_descriptor.h"
#include "ui/toolkit/skin_image.h"

namespace SkinUI {
namespace Render {

// A colour with alpha 0 draws nothing; alpha below 255 blends over what is there.
void FillColour(HDC dc, const RECT& rect, std::uint32_t argb);
// Rounded corners of `round` (ellipse cx × cy) when it is not 0,0.
void FillRoundColour(HDC dc, const RECT& rect, std::uint32_t argb, SIZE round);
void DrawBorder(HDC dc, const RECT& rect, int size, std::uint32_t argb, SIZE round);

// Draws `image` into `target` (absolute coordinates) as `descriptor` says: its source part,
// nine-patch corners, hole, tiling and fade. `target` already holds the descriptor's dest.
void DrawImage(HDC dc, const SkinImage& image, const RECT& target, const ImageDescriptor& descriptor);

// DrawText style flags (DT_LEFT/DT_CENTER/DT_RIGHT, DT_TOP/DT_VCENTER/DT_BOTTOM,
// DT_SINGLELINE or DT_WORDBREAK). Wrapped text is centred vertically too.
void PaintText(HDC dc, const RECT& rect, const std::wstring& text, std::uint32_t argb, HFONT font, UINT style);
SIZE MeasureText(HDC dc, HFONT font, const std::wstring& text);

}  // namespace Render
}  // namespace SkinUI
