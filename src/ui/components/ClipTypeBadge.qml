// SPDX-License-Identifier: MIT
import QtQuick
import Vexilo

// A small category label ("IMG", "URL") in its tint on a capsule of the same tint.
Rectangle {
    id: root

    property string label: ""
    property color tint: Theme.secondary

    implicitWidth: text.implicitWidth + 10
    implicitHeight: text.implicitHeight + 4
    radius: height / 2
    color: Theme.alpha(tint, 0.14)
    border.width: 0.5
    border.color: Theme.alpha(tint, 0.28)
    Accessible.role: Accessible.StaticText
    Accessible.name: label

    Text {
        id: text
        anchors.centerIn: parent
        text: root.label
        color: root.tint
        font.pixelSize: 9
        font.bold: true
        maximumLineCount: 1
    }
}
