// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// Filters the list by one tag of the history.
Popup {
    id: popover
    required property var main

    width: 300
    padding: 12
    focus: true
    background: Card { }

    contentItem: ColumnLayout {
        spacing: 8
        RowLayout {
            Layout.fillWidth: true
            SymbolIcon { name: "tag"; size: 12; color: Theme.primary }
            Label { text: "Filter by Tag"; font.pixelSize: 12; font.bold: true; color: Theme.primary }
            Item { Layout.fillWidth: true }
            AppButton {
                visible: popover.main.selectedTag.length > 0
                title: "Clear"
                iconName: "xmark"
                variant: "destructive"
                size: "xs"
                capsule: true
                onClicked: {
                    popover.main.clearTagFilter()
                    popover.close()
                }
            }
        }
        Divider { Layout.fillWidth: true }
        Label {
            visible: popover.main.tagFilters.length === 0
            text: "No tags yet"
            font.pixelSize: 11
            color: Theme.secondary
        }
        Flickable {
            Layout.fillWidth: true
            Layout.preferredHeight: Math.min(flow.implicitHeight + 4, 200)
            contentHeight: flow.implicitHeight + 4
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            FlowLayout {
                id: flow
                x: 2
                y: 2
                width: parent.width - 4
                spacing: 6
                Repeater {
                    model: popover.main.tagFilters
                    delegate: AppButton {
                        required property var modelData
                        title: modelData.title
                        size: "sm"
                        capsule: true
                        variant: modelData.active ? "primary" : "secondary"
                        selected: modelData.active
                        onClicked: {
                            popover.main.toggleTagFilter(modelData.tag)
                            popover.close()
                        }
                    }
                }
            }
        }
    }
}
