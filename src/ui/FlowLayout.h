// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPointF>
#include <QQuickItem>
#include <QSizeF>
#include <QtQml/qqmlregistration.h>

namespace Vexilo {

// Places its children left to right and wraps to a new line where the next child would pass
// the available width. Measuring and placing use the same pass, so they always agree.
class FlowLayout : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qreal spacing READ spacing WRITE setSpacing NOTIFY spacingChanged)

public:
    struct Arrangement
    {
        QList<QPointF> positions;
        QSizeF size;
    };

    // Without a proposed width a flow is this wide.
    static constexpr qreal defaultWidth = 300;

    explicit FlowLayout(QQuickItem *parent = nullptr);

    [[nodiscard]] qreal spacing() const { return m_spacing; }
    void setSpacing(qreal spacing);

    // The wrap rule: a child wraps when x + its width passes the available width, even the first
    // child of a line, so a first child wider than the flow starts one spacing below the top.
    [[nodiscard]] static Arrangement arrange(const QList<QSizeF> &sizes, qreal availableWidth, qreal spacing);

Q_SIGNALS:
    void spacingChanged();

protected:
    void updatePolish() override;
    void itemChange(ItemChange change, const ItemChangeData &value) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private:
    [[nodiscard]] QList<QQuickItem *> placedChildren() const;

    qreal m_spacing = 6;
};

} // namespace Vexilo
