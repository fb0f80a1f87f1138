// SPDX-License-Identifier: MIT
#include "TabStripLayout.h"

namespace Vexilo {

namespace {

qsizetype indexOfSelection(const QVariantList &ids, const QVariant &selection)
{
    // QVariant compares numbers across types, so an int id matches the double QML passes.
    return selection.isValid() ? ids.indexOf(selection) : -1;
}

} // namespace

QList<qsizetype> TabStripLayout::visibleIndices(qsizetype count, qsizetype selectedIndex, int maxVisibleTabs)
{
    QList<qsizetype> visible;
    if (maxVisibleTabs <= 0 || maxVisibleTabs >= count) {
        for (qsizetype i = 0; i < count; ++i)
            visible.append(i);
        return visible;
    }
    // Without a selection among the items there is nothing to keep in view: the first ones show.
    const bool keepSelection = selectedIndex >= maxVisibleTabs && selectedIndex < count;
    const qsizetype leading = keepSelection ? maxVisibleTabs - 1 : maxVisibleTabs;
    for (qsizetype i = 0; i < leading; ++i)
        visible.append(i);
    if (keepSelection)
        visible.append(selectedIndex);
    return visible;
}

QVariantList TabStripLayout::visibleTabs(const QVariantList &ids, const QVariant &selection, int maxVisibleTabs) const
{
    QVariantList result;
    for (qsizetype i : visibleIndices(ids.size(), indexOfSelection(ids, selection), maxVisibleTabs))
        result.append(ids.at(i));
    return result;
}

QVariantList TabStripLayout::overflowTabs(const QVariantList &ids, const QVariant &selection, int maxVisibleTabs) const
{
    const QList<qsizetype> visible = visibleIndices(ids.size(), indexOfSelection(ids, selection), maxVisibleTabs);
    QVariantList result;
    for (qsizetype i = 0; i < ids.size(); ++i) {
        if (!visible.contains(i))
            result.append(ids.at(i));
    }
    return result;
}

bool TabStripLayout::overflowActive(const QVariantList &ids, const QVariant &selection, int maxVisibleTabs) const
{
    // The selection always shows in the strip; "More" stays marked when it had to be pulled in
    // from beyond the limit, so the menu's category is still told apart from the leading tabs.
    const qsizetype selected = indexOfSelection(ids, selection);
    return maxVisibleTabs > 0 && maxVisibleTabs < ids.size() && selected >= maxVisibleTabs;
}

} // namespace Vexilo
