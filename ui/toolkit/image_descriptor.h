// The image descriptor of the markup: a bare file path, or key='value' pairs
// (file, dest, source, corner, mask, fade, hole, xtiled, ytiled) separated by spaces.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace SkinUI {

struct ImageDescriptor {
    std::wstring file;
    bool hasDest = false;
    RECT dest{};  // relative to the control's top-left corner
    bool hasSource = false;
    RECT source{};
    RECT corner{};  // nine-patch margins
    bool hasMask = false;
    std::uint32_t mask = 0;  // premultiplied 0xAARRGGBB turned fully transparent
    unsigned char fade = 255;
    bool hole = false;
    bool xTiled = false;
    bool yTiled = false;
};

// Unknown keys are ignored; a value may be quoted with ' or ".
ImageDescriptor ParseImageDescriptor(const std::wstring& text);

}  // namespace SkinUI
