// SPDX-License-Identifier: MIT
#pragma once

#include <QQuickImageProvider>

namespace Vexilo {

// "image://symbol/<symbol>?color=%23rrggbb": a symbol of SymbolIcons at the requested size,
// recoloured in C++ because the software scene graph has no shader to tint it.
class SymbolIconProvider : public QQuickImageProvider
{
public:
    SymbolIconProvider();

    QImage requestImage(const QString &id, QSize *size, const QSize &requestedSize) override;
};

} // namespace Vexilo
