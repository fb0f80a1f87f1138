// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

namespace Vexilo {

// Draws an image the C++ side already holds (a decoded thumbnail, a rendered QR code), fitted into
// the item and centred, without a round trip through an image provider or an encoded URL.
class ImageCanvas : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QImage image READ image WRITE setImage NOTIFY imageChanged)
    // Interpolation when scaling; off for QR codes, whose module edges must stay sharp.
    Q_PROPERTY(bool smoothScaling READ smoothScaling WRITE setSmoothScaling NOTIFY smoothScalingChanged)
    // Corners are cut here: the software scene graph cannot clip a child to a rounded shape.
    Q_PROPERTY(qreal radius READ radius WRITE setRadius NOTIFY radiusChanged)
    Q_PROPERTY(int sourceWidth READ sourceWidth NOTIFY imageChanged)
    Q_PROPERTY(int sourceHeight READ sourceHeight NOTIFY imageChanged)

public:
    explicit ImageCanvas(QQuickItem *parent = nullptr);

    [[nodiscard]] const QImage &image() const { return m_image; }
    void setImage(const QImage &image);
    [[nodiscard]] bool smoothScaling() const { return m_smooth; }
    void setSmoothScaling(bool smooth);
    [[nodiscard]] qreal radius() const { return m_radius; }
    void setRadius(qreal radius);
    [[nodiscard]] int sourceWidth() const { return m_image.width(); }
    [[nodiscard]] int sourceHeight() const { return m_image.height(); }

    void paint(QPainter *painter) override;

Q_SIGNALS:
    void imageChanged();
    void smoothScalingChanged();
    void radiusChanged();

private:
    QImage m_image;
    bool m_smooth = true;
    qreal m_radius = 0;
};

} // namespace Vexilo
