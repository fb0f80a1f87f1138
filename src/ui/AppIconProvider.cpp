// SPDX-License-Identifier: MIT
#include "AppIconProvider.h"

#include <QUrl>

namespace Vexilo {

AppIconProvider::AppIconProvider(Lookup lookup)
    : QQuickImageProvider(QQuickImageProvider::Pixmap)
    , m_lookup(std::move(lookup))
{
}

QPixmap AppIconProvider::requestPixmap(const QString &id, QSize *size, const QSize &requestedSize)
{
    const int side = requestedSize.width() > 0 ? requestedSize.width() : 38;
    QPixmap pixmap;
    if (m_lookup) {
        if (const auto icon = m_lookup(QUrl::fromPercentEncoding(id.toUtf8())))
            pixmap = icon->pixmap(QSize(side, side));
    }
    if (size)
        *size = pixmap.size();
    return pixmap;
}

} // namespace Vexilo
