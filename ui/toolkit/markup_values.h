// Readers for the attribute values of the layout markup: colours, integer lists, flags.
// Each takes the attribute text as written and never fails loudly: what cannot be read
// becomes 0, the way the markup has always been forgiving.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace SkinUI {

// Eight hexadecimal digits, alpha, red, green, blue, after "#" or "0x": 0xAARRGGBB.
std::uint32_t ParseColour(const std::wstring& text);
// "l,t,r,b"; missing numbers are 0.
RECT ParseRectValue(const std::wstring& text);
// "cx,cy".
SIZE ParseSizeValue(const std::wstring& text);
int ParseIntValue(const std::wstring& text);
// Only the exact text "true" is true.
bool ParseBoolValue(const std::wstring& text);

bool EqualsNoCase(const std::wstring& left, const std::wstring& right);
std::wstring ToLower(std::wstring text);

}  // namespace SkinUI
