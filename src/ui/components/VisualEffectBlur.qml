// SPDX-License-Identifier: MIT
import QtQuick
import Vexilo

// The window's backdrop: translucent when a compositor can show what lies behind, opaque otherwise.
Rectangle {
    property real cornerRadius: 0

    radius: cornerRadius
    color: Theme.translucent ? Theme.alpha(Theme.windowBackground, 0.85) : Theme.windowBackground
}
