// SPDX-License-Identifier: MIT
#include "ImageCanvas.h"

#include <QPainter>
#include <QPainterPath>

namespace Vexilo {

ImageCanvas::ImageCanvas(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{ }

void ImageCanvas::setImage(const QImage &image)
{
    if (image.cacheKey() == m_image.cacheKey())
        return;
    m_image = image;
    Q_EMIT imageChanged();
    update();
}

void ImageCanvas::setSmoothScaling(bool smooth)
{
    if (m_smooth == smooth)
        return;
    m_smooth = smooth;
    Q_EMIT smoothScalingChanged();
    update();
}

void ImageCanvas::setRadius(qreal radius)
{
    if (qFuzzyCompare(m_radius, radius))
        return;
    m_radius = radius;
    Q_EMIT radiusChanged();
    update();
}

void ImageCanvas::paint(QPainter *painter)
{
    if (m_image.isNull() || width() <= 0 || height() <= 0)
        return;
    const QSizeF fitted = QSizeF(m_image.size()).scaled(size(), Qt::KeepAspectRatio);
    const QRectF target(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, m_smooth);
    if (m_radius > 0) {
        QPainterPath corners;
        corners.addRoundedRect(target, m_radius, m_radius);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setClipPath(corners);
    }
    painter->drawImage(target, m_image);
}

} // namespace Vexilo
