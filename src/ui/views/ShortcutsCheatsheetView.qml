// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// The table of keyboard shortcuts: action on the leading side, keys on the trailing side.
ColumnLayout {
    id: root

    property var cheatsheet

    spacing: 6

    Repeater {
        model: root.cheatsheet ? root.cheatsheet.rows : []

        RowLayout {
            required property var modelData

            Layout.fillWidth: true
            spacing: 12

            Label {
                text: parent.modelData.label
                font.pixelSize: 11
                color: Theme.primary
                elide: Text.ElideRight
                Layout.fillWidth: true
            }
            Label {
                text: parent.modelData.keys
                font.pixelSize: 10
                font.bold: true
                font.family: "monospace"
                color: Theme.secondary
                Accessible.name: parent.modelData.label + ": " + parent.modelData.keys
            }
        }
    }
}
