// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QRectF>

class QPainter;

namespace Vexilo {

// The application's logo, drawn from its SVG at any size.
class AppLogo
{
public:
    // False when the logo cannot be loaded; then views show a symbol instead. Tried again on
    // every call until it loads once.
    [[nodiscard]] static bool isAvailable();

    // The logo fitted into `rect`, clipped to corners of `cornerRadius`.
    static void paint(QPainter &painter, const QRectF &rect, qreal cornerRadius);

    // The tray's picture: `pixelHeight` high, at least as wide, the logo centred at full height;
    // at 0.45 alpha while capture is paused. Null when the logo cannot be loaded.
    [[nodiscard]] static QImage menuBarImage(int pixelHeight, bool paused);
};

} // namespace Vexilo
