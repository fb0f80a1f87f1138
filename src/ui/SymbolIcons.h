// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

namespace Vexilo {

// The symbols the views name ("doc.on.doc", "pin.fill", ...) and the freedesktop icons that draw
// them: the user's icon theme where it has the name, Breeze as the fallback theme, and a few
// drawings of our own where no theme icon fits.
class SymbolIcons : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    // Every symbol of the table, for the views' tests.
    Q_INVOKABLE QStringList names() const;

    // The theme icon name of a symbol, empty when the symbol is unknown or drawn by us only.
    [[nodiscard]] static QString themeIconName(QStringView symbol);
    // The icon of a symbol (null when the symbol is unknown or nothing draws it).
    [[nodiscard]] static QIcon icon(QStringView symbol);
    // The symbol drawn `pixelSize` pixels square, its ink in `color` when that is valid (accents
    // and many-coloured pictures keep their colours). Null when nothing draws it.
    [[nodiscard]] static QImage render(QStringView symbol, int pixelSize, const QColor &color = {});

    // Search paths and fallback theme, so that theme icons resolve on any platform plugin
    // (offscreen and minimal know no icon theme at all). Needs the GUI application.
    static void prepareIconTheme();
};

} // namespace Vexilo
