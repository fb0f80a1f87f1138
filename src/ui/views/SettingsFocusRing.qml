// SPDX-License-Identifier: MIT
import QtQuick
import Vexilo

// The outline a control shows while it has the keyboard, drawn just outside its parent. The kit's
// controls draw none of their own.
Rectangle {
    property bool shown: parent && (parent.visualFocus !== undefined ? parent.visualFocus : parent.activeFocus)
    property real cornerRadius: 8

    anchors.fill: parent
    anchors.margins: -3
    radius: cornerRadius + 3
    color: "transparent"
    border.width: 2
    border.color: Theme.alpha(Theme.accent, 0.75)
    visible: shown
    z: 10
}
