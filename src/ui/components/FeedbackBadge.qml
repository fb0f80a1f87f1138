// SPDX-License-Identifier: MIT
import QtQuick
import Vexilo

// A capsule that confirms what just happened ("Copied as UPPERCASE").
Item {
    id: root

    property string text: ""

    implicitWidth: label.implicitWidth + 24
    implicitHeight: label.implicitHeight + 12
    Accessible.role: Accessible.AlertMessage
    Accessible.name: text

    // Soft shadow: plain translucent capsules below the badge.
    Rectangle {
        anchors.fill: parent
        anchors.topMargin: 3
        anchors.bottomMargin: -3
        radius: height / 2
        color: Qt.rgba(0, 0, 0, 0.12)
    }
    VisualEffectBlur {
        anchors.fill: parent
        cornerRadius: height / 2
        border.width: 1
        border.color: Theme.alpha(Theme.white, 0.3)
    }
    Text {
        id: label
        anchors.centerIn: parent
        text: root.text
        color: Theme.primary
        font.pixelSize: 11
        font.bold: true
    }
}
