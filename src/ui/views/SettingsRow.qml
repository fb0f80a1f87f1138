// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// One row of a card: the label with its explanation below, and the control (the row's own
// children) on the trailing side. Rows after the first draw a hairline above themselves.
Item {
    id: root

    property string label: ""
    property string subtitle: ""
    property bool divided: false
    default property alias trailing: row.data

    Layout.fillWidth: true
    implicitWidth: row.implicitWidth + 28
    implicitHeight: Math.max(44, row.implicitHeight)

    Divider {
        visible: root.divided
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.leftMargin: 14
    }

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.leftMargin: 14
        anchors.rightMargin: 14
        spacing: 12

        ColumnLayout {
            Layout.fillWidth: true
            Layout.topMargin: 9
            Layout.bottomMargin: 9
            spacing: 2

            Label {
                Layout.fillWidth: true
                text: root.label
                font.pixelSize: 13
                color: Theme.primary
                wrapMode: Text.Wrap
            }
            Label {
                Layout.fillWidth: true
                visible: text !== ""
                text: root.subtitle
                font.pixelSize: 11
                color: Theme.secondary
                wrapMode: Text.Wrap
            }
        }
    }
}
