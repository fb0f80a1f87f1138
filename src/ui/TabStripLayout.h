// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace Vexilo {

// Which tabs of a strip are shown and which go to its "More" menu: at most `maxVisibleTabs`
// tabs, and the selected one always among them, at the end when it would otherwise overflow.
class TabStripLayout : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    // Indices into the items, in the order shown. maxVisibleTabs <= 0 means no limit;
    // selectedIndex is -1 when no item is selected.
    [[nodiscard]] static QList<qsizetype> visibleIndices(qsizetype count, qsizetype selectedIndex, int maxVisibleTabs);

    // The same on item ids, for QML: the ids shown, the ids in the overflow menu (in item order),
    // and whether the selection lies beyond the limit (then "More" is drawn selected too).
    Q_INVOKABLE QVariantList visibleTabs(const QVariantList &ids, const QVariant &selection, int maxVisibleTabs) const;
    Q_INVOKABLE QVariantList overflowTabs(const QVariantList &ids, const QVariant &selection, int maxVisibleTabs) const;
    Q_INVOKABLE bool overflowActive(const QVariantList &ids, const QVariant &selection, int maxVisibleTabs) const;
};

} // namespace Vexilo
