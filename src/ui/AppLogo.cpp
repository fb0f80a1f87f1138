// SPDX-License-Identifier: MIT
#include "AppLogo.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

namespace Vexilo {

namespace {

using namespace Qt::StringLiterals;

// Read once and kept; until it loads, every call tries again.
const QByteArray &logoData()
{
    static QByteArray data;
    if (data.isEmpty()) {
        QFile file(u":/Vexilo/assets/AppLogo.svg"_s);
        if (file.open(QIODevice::ReadOnly))
            data = file.readAll();
    }
    return data;
}

} // namespace

bool AppLogo::isAvailable()
{
    return QSvgRenderer(logoData()).isValid();
}

void AppLogo::paint(QPainter &painter, const QRectF &rect, qreal cornerRadius)
{
    QSvgRenderer renderer(logoData());
    if (!renderer.isValid())
        return;
    const QSizeF natural = renderer.defaultSize().isEmpty() ? rect.size() : QSizeF(renderer.defaultSize());
    QRectF target(QPointF(), natural.scaled(rect.size(), Qt::KeepAspectRatio));
    target.moveCenter(rect.center());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (cornerRadius > 0) {
        QPainterPath clip;
        clip.addRoundedRect(rect, cornerRadius, cornerRadius);
        painter.setClipPath(clip);
    }
    renderer.render(&painter, target);
    painter.restore();
}

QImage AppLogo::menuBarImage(int pixelHeight, bool paused)
{
    QSvgRenderer renderer(logoData());
    if (!renderer.isValid() || pixelHeight <= 0)
        return {};
    const QSize natural = renderer.defaultSize();
    const qreal aspect = qreal(natural.width()) / qMax(natural.height(), 1);
    const int width = qMax(pixelHeight, qRound(pixelHeight * aspect));
    QImage image(width, pixelHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setOpacity(paused ? 0.45 : 1.0);
    const qreal logoWidth = pixelHeight * aspect;
    renderer.render(&painter, QRectF((width - logoWidth) / 2, 0, logoWidth, pixelHeight));
    return image;
}

} // namespace Vexilo
