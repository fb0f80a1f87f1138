// SPDX-License-Identifier: MIT
#include "SymbolIconProvider.h"

#include "SymbolIcons.h"

#include <QUrlQuery>

namespace Vexilo {

using namespace Qt::StringLiterals;

SymbolIconProvider::SymbolIconProvider()
    : QQuickImageProvider(QQuickImageProvider::Image)
{ }

QImage SymbolIconProvider::requestImage(const QString &id, QSize *size, const QSize &requestedSize)
{
    const qsizetype queryStart = id.indexOf(u'?');
    const QString symbol = id.left(queryStart);
    QColor color;
    if (queryStart >= 0) {
        const QUrlQuery query(id.mid(queryStart + 1));
        color = QColor::fromString(query.queryItemValue(u"color"_s, QUrl::FullyDecoded));
    }
    const int requested = qMax(requestedSize.width(), requestedSize.height());
    const QImage image = SymbolIcons::render(symbol, requested > 0 ? requested : 16, color);
    if (size)
        *size = image.size();
    return image;
}

} // namespace Vexilo
