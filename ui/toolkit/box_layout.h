// The box layout rule as plain arithmetic. Along the main axis every child gets its fixed
// size; what is left after fixed sizes, outer margins and gaps is shared equally by the
// children without a fixed size (the last one takes the rounding rest). Across the axis a
// child fills the box unless it has a fixed size, which it keeps at the box's start edge.
// Hidden children take no space.
#pragma once

#include <windows.h>

#include <vector>

namespace SkinUI {

struct BoxItem {
    int fixedWidth = 0;   // 0: flexible
    int fixedHeight = 0;  // 0: flexible
    RECT padding{};       // outer margin
    bool visible = true;
};

// One rectangle per item (hidden items get an empty one at the running position).
std::vector<RECT> ArrangeBox(const RECT& box, bool vertical, int childGap, const std::vector<BoxItem>& items);

}  // namespace SkinUI
