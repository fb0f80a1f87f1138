// SPDX-License-Identifier: MIT
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import Vexilo

// The "More" menu of AppTabs: one row per tab that did not fit, the selected one checked.
Popup {
    id: root

    required property Item tabs

    visible: tabs.showingMorePopover
    onClosed: tabs.showingMorePopover = false
    // A press on the "More" button toggles the menu itself; closing on it here would reopen it.
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent
    width: 220
    padding: 8

    background: Card {
        radius: 10
    }

    contentItem: Column {
        spacing: 4

        Text {
            text: qsTr("More Categories")
            color: Theme.secondary
            font.pixelSize: 11
            font.bold: true
            leftPadding: 4
        }
        Divider {
            width: parent.width
        }
        Repeater {
            objectName: "overflowRepeater"
            model: root.tabs.overflowItems

            AbstractButton {
                id: row

                required property var modelData
                readonly property bool isSelected: modelData.id === root.tabs.selection
                readonly property int badge: modelData.badgeCount !== undefined ? modelData.badgeCount : 0

                width: parent.width
                padding: 5
                hoverEnabled: true
                onClicked: root.tabs.choose(modelData.id)
                Accessible.role: Accessible.MenuItem
                Accessible.name: modelData.title + qsTr(" category")
                Accessible.selected: isSelected

                background: Rectangle {
                    radius: 6
                    color: row.hovered ? Theme.alpha(Theme.primary, 0.06) : "transparent"
                }
                contentItem: Row {
                    spacing: 6

                    Item {
                        width: 16
                        height: 16
                        anchors.verticalCenter: parent.verticalCenter

                        SymbolIcon {
                            anchors.centerIn: parent
                            name: row.modelData.icon || ""
                            size: 11
                            color: row.isSelected ? Theme.accent : Theme.secondary
                        }
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        width: parent.width - 16 - 2 * parent.spacing - badge.width - check.width
                               - (badge.visible ? parent.spacing : 0)
                        elide: Text.ElideRight
                        text: row.modelData.title
                        color: row.isSelected ? Theme.accent : Theme.primary
                        font.pixelSize: 12
                        font.weight: row.isSelected ? Font.DemiBold : Font.Normal
                    }
                    CountBadge {
                        id: badge
                        anchors.verticalCenter: parent.verticalCenter
                        visible: row.badge >= 1
                        count: row.badge
                        pixelSize: 10
                        horizontalPadding: 6
                    }
                    SymbolIcon {
                        id: check
                        anchors.verticalCenter: parent.verticalCenter
                        name: row.isSelected ? "checkmark" : ""
                        size: 10
                        color: Theme.accent
                    }
                }
            }
        }
    }
}
