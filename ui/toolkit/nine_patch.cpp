#include "ui/toolkit/nine_patch.h"

namespace SkinUI {

namespace {

// Shrinks two margins so they fit `available`, keeping their ratio.
void FitMargins(long available, long* first, long* second) {
    if (*first < 0) *first = 0;
    if (*second < 0) *second = 0;
    const long total = *first + *second;
    if (total <= available || total == 0) return;
    const long fitted = available < 0 ? 0 : available;
    const long shrunkFirst = static_cast<long>(static_cast<long long>(*first) * fitted / total);
    *second = fitted - shrunkFirst;
    *first = shrunkFirst;
}

}  // namespace

std::array<PatchPart, 9> SplitNinePatch(const RECT& target, const RECT& source, const RECT& corner) {
    long sourceLeft = corner.left, sourceRight = corner.right, sourceTop = corner.top, sourceBottom = corner.bottom;
    FitMargins(source.right - source.left, &sourceLeft, &sourceRight);
    FitMargins(source.bottom - source.top, &sourceTop, &sourceBottom);
    long targetLeft = sourceLeft, targetRight = sourceRight, targetTop = sourceTop, targetBottom = sourceBottom;
    FitMargins(target.right - target.left, &targetLeft, &targetRight);
    FitMargins(target.bottom - target.top, &targetTop, &targetBottom);

    // Margins that use up the whole source leave no middle to stretch; then the last
    // line of the leading margin stands in for it.
    long sourceMiddleLeft = source.left + sourceLeft, sourceMiddleRight = source.right - sourceRight;
    long sourceMiddleTop = source.top + sourceTop, sourceMiddleBottom = source.bottom - sourceBottom;
    const bool targetHasMiddleColumn = target.right - targetRight > target.left + targetLeft;
    const bool targetHasMiddleRow = target.bottom - targetBottom > target.top + targetTop;
    if (sourceMiddleRight <= sourceMiddleLeft && targetHasMiddleColumn && sourceLeft > 0) {
        sourceMiddleLeft = sourceMiddleRight - 1;
    }
    if (sourceMiddleBottom <= sourceMiddleTop && targetHasMiddleRow && sourceTop > 0) {
        sourceMiddleTop = sourceMiddleBottom - 1;
    }

    const long targetColumns[4] = {target.left, target.left + targetLeft, target.right - targetRight, target.right};
    const long targetRows[4] = {target.top, target.top + targetTop, target.bottom - targetBottom, target.bottom};
    const long sourceColumns[4] = {source.left, source.left + sourceLeft, source.right - sourceRight, source.right};
    const long sourceRows[4] = {source.top, source.top + sourceTop, source.bottom - sourceBottom, source.bottom};
    const long middleColumns[2] = {sourceMiddleLeft, sourceMiddleRight};
    const long middleRows[2] = {sourceMiddleTop, sourceMiddleBottom};

    std::array<PatchPart, 9> parts{};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            PatchPart& part = parts[row * 3 + column];
            part.target = RECT{targetColumns[column], targetRows[row], targetColumns[column + 1], targetRows[row + 1]};
            part.source = RECT{sourceColumns[column], sourceRows[row], sourceColumns[column + 1], sourceRows[row + 1]};
            if (column == 1) {
                part.source.left = middleColumns[0];
                part.source.right = middleColumns[1];
            }
            if (row == 1) {
                part.source.top = middleRows[0];
                part.source.bottom = middleRows[1];
            }
            part.middle = row == 1 && column == 1;
        }
    }
    return parts;
}

}  // namespace SkinUI
