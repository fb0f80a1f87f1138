// SPDX-License-Identifier: MIT
#include "AppLogoImage.h"

#include "AppLogo.h"

namespace Vexilo {

AppLogoImage::AppLogoImage(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

void AppLogoImage::setCornerRadius(qreal radius)
{
    if (qFuzzyCompare(m_cornerRadius, radius))
        return;
    m_cornerRadius = radius;
    update();
    Q_EMIT cornerRadiusChanged();
}

bool AppLogoImage::isAvailable() const
{
    return AppLogo::isAvailable();
}

void AppLogoImage::paint(QPainter *painter)
{
    AppLogo::paint(*painter, boundingRect(), m_cornerRadius);
}

} // namespace Vexilo
