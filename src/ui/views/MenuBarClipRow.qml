// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// One clip of the popover: a click anywhere copies it; the trailing buttons copy it or open its
// actions menu.
Item {
    id: row

    required property int index
    required property string clipId
    required property string title
    required property string icon
    required property string subtitle
    required property bool feedback
    required property bool pinned

    property bool highlighted: false
    property bool menuOpen: false
    readonly property bool hovered: hover.hovered

    signal copyRequested()
    signal moreRequested(Item button)

    objectName: "popoverRow_" + index
    implicitHeight: 40
    Accessible.role: Accessible.ListItem
    Accessible.name: title
    Accessible.description: subtitle

    HoverHandler { id: hover }

    Rectangle {
        anchors.fill: parent
        radius: 9
        color: row.highlighted ? Theme.accent : "transparent"
    }

    MouseArea {
        anchors.fill: parent
        onClicked: row.copyRequested()
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 8
        anchors.rightMargin: 8
        spacing: 8

        Item {
            Layout.preferredWidth: 16
            Layout.fillHeight: true
            SymbolIcon {
                anchors.centerIn: parent
                name: row.feedback ? "checkmark" : row.icon
                size: 12
                color: row.highlighted ? Theme.white : Theme.secondary
            }
        }
        ColumnLayout {
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            spacing: 1
            Label {
                Layout.fillWidth: true
                text: row.title
                elide: Text.ElideRight
                maximumLineCount: 1
                textFormat: Text.PlainText
                font.pixelSize: 13
                font.weight: row.highlighted ? Font.Medium : Font.Normal
                color: row.highlighted ? Theme.white : Theme.primary
            }
            Label {
                Layout.fillWidth: true
                text: row.subtitle
                elide: Text.ElideRight
                maximumLineCount: 1
                textFormat: Text.PlainText
                font.pixelSize: 11
                color: row.highlighted ? Theme.alpha(Theme.white, 0.85) : Theme.secondary
            }
        }
        MenuBarRowIconButton {
            objectName: "popoverCopyButton"
            iconName: "doc.on.doc"
            help: "Copy"
            rowHighlighted: row.highlighted
            onClicked: row.copyRequested()
        }
        MenuBarRowIconButton {
            id: moreButton
            objectName: "popoverMoreButton"
            iconName: "ellipsis"
            help: "More actions"
            rowHighlighted: row.highlighted
            isActive: row.menuOpen
            onClicked: row.moreRequested(moreButton)
        }
    }
}
