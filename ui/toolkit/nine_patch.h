// Splits a stretch of a source image onto a target rectangle into the nine parts of a
// nine-patch: the corner parts keep their size, the edges stretch along one axis and the
// middle along both. Corners that do not fit the target shrink in proportion.
#pragma once

#include <windows.h>

#include <array>

namespace SkinUI {

struct PatchPart {
    RECT target;
    RECT source;
    bool middle;  // the centre part, left out for a descriptor with a hole
    bool empty() const {
        return target.right <= target.left || target.bottom <= target.top || source.right <= source.left ||
               source.bottom <= source.top;
    }
};

// Parts in rows from the top-left; with all margins 0 only the middle part is non-empty.
std::array<PatchPart, 9> SplitNinePatch(const RECT& target, const RECT& source, const RECT& corner);

}  // namespace SkinUI
