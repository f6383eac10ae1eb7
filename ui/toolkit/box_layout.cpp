#include "ui/toolkit/box_layout.h"

namespace SkinUI {

std::vector<RECT> ArrangeBox(const RECT& box, bool vertical, int childGap, const std::vector<BoxItem>& items) {
    const long mainLength = vertical ? box.bottom - box.top : box.right - box.left;
    const long crossLength = vertical ? box.right - box.left : box.bottom - box.top;

    long used = 0;
    int flexible = 0;
    int shown = 0;
    for (const BoxItem& item : items) {
        if (!item.visible) continue;
        const int fixed = vertical ? item.fixedHeight : item.fixedWidth;
        used += vertical ? item.padding.top + item.padding.bottom : item.padding.left + item.padding.right;
        if (fixed > 0) used += fixed;
        else ++flexible;
        ++shown;
    }
    if (shown > 1) used += static_cast<long>(childGap) * (shown - 1);
    long remaining = mainLength - used;
    if (remaining < 0) remaining = 0;
    const long share = flexible > 0 ? remaining / flexible : 0;

    std::vector<RECT> placed;
    placed.reserve(items.size());
    long cursor = vertical ? box.top : box.left;
    int flexibleSeen = 0;
    for (const BoxItem& item : items) {
        if (!item.visible) {
            placed.push_back(vertical ? RECT{box.left, cursor, box.left, cursor} : RECT{cursor, box.top, cursor, box.top});
            continue;
        }
        const long leadMargin = vertical ? item.padding.top : item.padding.left;
        const long trailMargin = vertical ? item.padding.bottom : item.padding.right;
        const long crossLead = vertical ? item.padding.left : item.padding.top;
        const long crossTrail = vertical ? item.padding.right : item.padding.bottom;
        const int fixedMain = vertical ? item.fixedHeight : item.fixedWidth;
        const int fixedCross = vertical ? item.fixedWidth : item.fixedHeight;

        long length = fixedMain;
        if (fixedMain <= 0) {
            ++flexibleSeen;
            length = flexibleSeen == flexible ? remaining - share * (flexible - 1) : share;
        }
        long crossSize = fixedCross > 0 ? fixedCross : crossLength - crossLead - crossTrail;
        if (crossSize < 0) crossSize = 0;

        cursor += leadMargin;
        const long crossStart = (vertical ? box.left : box.top) + crossLead;
        placed.push_back(vertical ? RECT{crossStart, cursor, crossStart + crossSize, cursor + length}
                                  : RECT{cursor, crossStart, cursor + length, crossStart + crossSize});
        cursor += length + trailMargin + childGap;
    }
    return placed;
}

}  // namespace SkinUI
