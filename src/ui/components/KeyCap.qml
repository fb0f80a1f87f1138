// SPDX-License-Identifier: MIT
import QtQuick
import Vexilo

// A key of a shortcut hint: the key text on a small rounded fill.
Rectangle {
    id: root

    property string text: ""

    implicitWidth: label.implicitWidth + 8
    implicitHeight: label.implicitHeight + 2
    radius: 3
    color: Theme.alpha(Theme.primary, 0.08)
    Accessible.role: Accessible.StaticText
    Accessible.name: text

    Text {
        id: label
        anchors.centerIn: parent
        text: root.text
        color: Theme.primary
        font.pixelSize: 10
        font.bold: true
    }
}
