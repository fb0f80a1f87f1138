// SPDX-License-Identifier: MIT
#include "WidgetPalette.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace Vexilo::WidgetPalette {

void follow(bool dark)
{
    const bool paletteDark = QApplication::palette().color(QPalette::Window).lightness() < 128;
    if (paletteDark == dark)
        return;
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette = QApplication::style()->standardPalette();
    if (dark) {
        const QColor window(0x2b, 0x2b, 0x2e), base(0x1e, 0x1e, 0x20), text(0xec, 0xec, 0xee),
            disabled(0x80, 0x80, 0x84);
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::WindowText, text);
        palette.setColor(QPalette::Base, base);
        palette.setColor(QPalette::AlternateBase, window);
        palette.setColor(QPalette::Text, text);
        palette.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3e));
        palette.setColor(QPalette::ButtonText, text);
        palette.setColor(QPalette::ToolTipBase, base);
        palette.setColor(QPalette::ToolTipText, text);
        palette.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
        palette.setColor(QPalette::HighlightedText, Qt::white);
        palette.setColor(QPalette::Link, QColor(0x4d, 0xa3, 0xff));
        palette.setColor(QPalette::Light, QColor(0x4a, 0x4a, 0x4e));
        palette.setColor(QPalette::Midlight, QColor(0x3f, 0x3f, 0x43));
        palette.setColor(QPalette::Mid, QColor(0x25, 0x25, 0x28));
        palette.setColor(QPalette::Dark, QColor(0x1a, 0x1a, 0x1c));
        for (const QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
            palette.setColor(QPalette::Disabled, role, disabled);
    }
    QApplication::setPalette(palette);
}

} // namespace Vexilo::WidgetPalette
