// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// A titled group of rows: the title above a rounded box that holds the card's children.
ColumnLayout {
    id: root

    property string title: ""
    default property alias rows: box.data

    Layout.fillWidth: true
    spacing: 7

    Label {
        text: root.title
        font.pixelSize: 13
        font.bold: true
        color: Theme.primary
        Layout.leftMargin: 2
        Accessible.role: Accessible.Heading
    }
    Rectangle {
        Layout.fillWidth: true
        implicitHeight: box.implicitHeight
        radius: 10
        color: Theme.dark ? Theme.alpha(Theme.primary, 0.05) : Theme.textBackground
        border.width: 1
        border.color: Theme.alpha(Theme.primary, 0.08)

        ColumnLayout {
            id: box
            width: parent.width
            spacing: 0
        }
    }
}
