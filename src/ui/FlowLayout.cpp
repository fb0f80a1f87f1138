// SPDX-License-Identifier: MIT
#include "FlowLayout.h"

namespace Vexilo {

FlowLayout::FlowLayout(QQuickItem *parent)
    : QQuickItem(parent)
{
    setImplicitWidth(defaultWidth);
}

void FlowLayout::setSpacing(qreal spacing)
{
    if (qFuzzyCompare(m_spacing, spacing))
        return;
    m_spacing = spacing;
    polish();
    Q_EMIT spacingChanged();
}

FlowLayout::Arrangement FlowLayout::arrange(const QList<QSizeF> &sizes, qreal availableWidth, qreal spacing)
{
    Arrangement result;
    result.positions.reserve(sizes.size());
    qreal x = 0;
    qreal y = 0;
    qreal lineHeight = 0;
    for (const QSizeF &size : sizes) {
        if (x + size.width() > availableWidth) {
            y += lineHeight + spacing;
            x = 0;
            lineHeight = size.height();
        } else {
            lineHeight = qMax(lineHeight, size.height());
        }
        result.positions.append(QPointF(x, y));
        x += size.width() + spacing;
    }
    result.size = QSizeF(availableWidth, y + lineHeight);
    return result;
}

QList<QQuickItem *> FlowLayout::placedChildren() const
{
    // Hidden children take no place; nor do item-less helpers such as a Repeater (zero size).
    QList<QQuickItem *> children;
    const QList<QQuickItem *> all = childItems();
    for (QQuickItem *child : all) {
        if (child->isVisible() && (child->width() > 0 || child->height() > 0))
            children.append(child);
    }
    return children;
}

void FlowLayout::updatePolish()
{
    const QList<QQuickItem *> children = placedChildren();
    QList<QSizeF> sizes;
    sizes.reserve(children.size());
    for (const QQuickItem *child : children)
        sizes.append(child->size());
    const qreal available = widthValid() ? width() : defaultWidth;
    const Arrangement arrangement = arrange(sizes, available, m_spacing);
    for (qsizetype i = 0; i < children.size(); ++i)
        children.at(i)->setPosition(arrangement.positions.at(i));
    setImplicitSize(arrangement.size.width(), arrangement.size.height());
}

void FlowLayout::itemChange(ItemChange change, const ItemChangeData &value)
{
    if (change == ItemChildAddedChange) {
        QQuickItem *child = value.item;
        connect(child, &QQuickItem::widthChanged, this, &QQuickItem::polish);
        connect(child, &QQuickItem::heightChanged, this, &QQuickItem::polish);
        connect(child, &QQuickItem::visibleChanged, this, &QQuickItem::polish);
        polish();
    } else if (change == ItemChildRemovedChange) {
        disconnect(value.item, nullptr, this, nullptr);
        polish();
    }
    QQuickItem::itemChange(change, value);
}

void FlowLayout::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    if (newGeometry.width() != oldGeometry.width())
        polish();
    QQuickItem::geometryChange(newGeometry, oldGeometry);
}

} // namespace Vexilo
