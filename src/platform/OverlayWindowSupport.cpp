// SPDX-License-Identifier: MIT
#include "OverlayWindowSupport.h"

#include <QWindow>

namespace Vexilo {

OverlayWindowSupport::~OverlayWindowSupport() = default;

void QtOverlayWindowSupport::prepare(QWindow &window)
{
    window.setFlags(window.flags() | Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
}

void QtOverlayWindowSupport::activate(QWindow &window)
{
    window.raise();
    window.requestActivate();
}

} // namespace Vexilo
