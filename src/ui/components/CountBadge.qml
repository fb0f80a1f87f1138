// SPDX-License-Identifier: MIT
import QtQuick
import Vexilo

// The item count of a tab, in a capsule: white on the selection pill, secondary elsewhere.
Rectangle {
    id: root

    property int count: 0
    property bool inverted: false
    property real pixelSize: 9
    property real horizontalPadding: 5

    implicitWidth: label.implicitWidth + 2 * horizontalPadding
    implicitHeight: label.implicitHeight + 3
    radius: height / 2
    color: inverted ? Theme.alpha(Theme.white, 0.28) : Theme.alpha(Theme.primary, 0.08)

    Text {
        id: label
        anchors.centerIn: parent
        text: root.count
        color: root.inverted ? Theme.white : Theme.secondary
        font.pixelSize: Math.round(root.pixelSize)
        font.bold: true
    }
}
