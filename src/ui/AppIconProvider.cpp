// SPDX-License-Identifier: MIT
#include "AppIconProvider.h"

#include <QUrl>

namespace Vexilo {

namespace {
constexpr int missRetryMs = 5 * 60 * 1000;
} // namespace

AppIconProvider::AppIconProvider(Lookup lookup)
    : QQuickImageProvider(QQuickImageProvider::Pixmap)
    , m_lookup(std::move(lookup))
{ }

QPixmap AppIconProvider::requestPixmap(const QString &id, QSize *size, const QSize &requestedSize)
{
    const int side = requestedSize.width() > 0 ? requestedSize.width() : 38;
    const QString key = id + u'@' + QString::number(side);
    QPixmap pixmap = m_found.value(key);
    const auto missing = m_missing.constFind(key);
    const bool knownMissing = missing != m_missing.cend() && !missing->hasExpired();
    if (pixmap.isNull() && !knownMissing && m_lookup) {
        if (const auto icon = m_lookup(QUrl::fromPercentEncoding(id.toUtf8())))
            pixmap = icon->pixmap(QSize(side, side));
        if (pixmap.isNull())
            m_missing.insert(key, QDeadlineTimer(missRetryMs));
        else
            m_found.insert(key, pixmap);
    }
    // An empty picture, not a null one: a missing icon is normal here and must not be logged.
    if (pixmap.isNull()) {
        pixmap = QPixmap(1, 1);
        pixmap.fill(Qt::transparent);
    }
    if (size)
        *size = pixmap.size();
    return pixmap;
}

} // namespace Vexilo
