// SPDX-License-Identifier: MIT
#include "FooterLayout.h"

namespace Vexilo {

FooterLayout::Layout FooterLayout::choose(qreal availableWidth, qreal requiredRegular, qreal requiredCompact)
{
    if (requiredRegular <= availableWidth)
        return Regular;
    if (requiredCompact <= availableWidth)
        return Compact;
    return IconsOnly;
}

qreal FooterLayout::spacing(int layout) const
{
    switch (layout) {
    case Regular:
        return 6;
    case Compact:
        return 5;
    default:
        return 4;
    }
}

} // namespace Vexilo
