// SPDX-License-Identifier: MIT
#pragma once

#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

namespace Vexilo {

// The logo as a QML item, clipped to rounded corners (the software scene graph cannot mask).
class AppLogoImage : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qreal cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY cornerRadiusChanged)
    Q_PROPERTY(bool available READ isAvailable CONSTANT)

public:
    explicit AppLogoImage(QQuickItem *parent = nullptr);

    [[nodiscard]] qreal cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(qreal radius);
    [[nodiscard]] bool isAvailable() const;

    void paint(QPainter *painter) override;

Q_SIGNALS:
    void cornerRadiusChanged();

private:
    qreal m_cornerRadius = 0;
};

} // namespace Vexilo
