// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// Offers to take back a deletion. It keeps no timer: its owner shows it while the deletion can be
// undone and hides it when the store's undo window closes.
Item {
    id: root

    property string message

    signal undo
    signal dismiss

    readonly property real cornerRadius: 12

    implicitWidth: row.implicitWidth + 28
    implicitHeight: row.implicitHeight + 20

    // Shadow, 4 px down and softened by a wider, fainter layer: the toast floats over the list.
    Rectangle {
        anchors.fill: parent
        anchors.margins: -1
        anchors.topMargin: 3
        anchors.bottomMargin: -5
        radius: root.cornerRadius + 1
        color: Qt.rgba(0, 0, 0, 0.07)
    }
    Rectangle {
        anchors.fill: parent
        anchors.topMargin: 2
        anchors.bottomMargin: -3
        radius: root.cornerRadius
        color: Qt.rgba(0, 0, 0, 0.08)
    }
    VisualEffectBlur {
        anchors.fill: parent
        cornerRadius: root.cornerRadius
    }
    Rectangle {
        anchors.fill: parent
        radius: root.cornerRadius
        color: "transparent"
        border.width: 1
        border.color: Theme.alpha(Theme.primary, 0.1)
    }

    RowLayout {
        id: row
        anchors.centerIn: parent
        spacing: 12

        Label {
            text: root.message
            font.pixelSize: 12
            font.weight: Font.Medium
            color: Theme.primary
        }
        AppButton {
            title: "Undo"
            variant: "tinted"
            size: "sm"
            tint: Theme.accent
            titlePixelSize: 12
            titleWeight: Font.DemiBold
            onClicked: root.undo()
        }
        AppButton {
            iconName: "xmark"
            variant: "ghost"
            size: "iconXs"
            tint: Theme.secondary
            helpText: "Dismiss"
            onClicked: root.dismiss()
        }
    }
}
