// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// The filtered clips, one row each, built only as they scroll into view.
Rectangle {
    id: panel

    required property var store
    required property var listModel
    required property var listState
    required property var actions

    color: Theme.alpha(Theme.primary, 0.02)
    readonly property bool compact: panel.store.listDensityRaw === "compact"

    // The context menu of the selected row, for the keyboard (the Menu key, Shift+F10).
    function showContextMenuForSelection() {
        const row = panel.listModel.selectedRow
        if (row < 0)
            return
        list.positionViewAtIndex(row, ListView.Contain)
        const item = list.itemAtIndex(row)
        menuLoader.active = true
        menuLoader.item.popupFor(panel.listModel.clipIdAt(row), item)
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            visible: panel.listState.isFiltering
            Layout.fillWidth: true
            Layout.leftMargin: 14
            Layout.rightMargin: 14
            Layout.topMargin: 6
            Label {
                text: panel.listState.resultCountText
                font.pixelSize: 10
                font.weight: Font.DemiBold
                color: Theme.secondary
            }
            Item { Layout.fillWidth: true }
        }

        ListView {
            id: list
            visible: count > 0
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: panel.listModel
            spacing: panel.compact ? 2 : 4
            topMargin: 10
            bottomMargin: 10
            leftMargin: 8
            rightMargin: 8
            reuseItems: true
            // The selection is the store's; the view's own current item would scroll on its own.
            currentIndex: -1
            highlightFollowsCurrentItem: false
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }
            // Before the first layout the view has no height, and "contain" would scroll the row to
            // the top; wait for the layout then.
            function revealSelection() {
                if (panel.listModel.selectedRow >= 0 && height > 0)
                    positionViewAtIndex(panel.listModel.selectedRow, ListView.Contain)
            }
            onHeightChanged: Qt.callLater(revealSelection)

            Accessible.role: Accessible.List
            Accessible.name: "Clips"

            delegate: ClipRowView {
                width: list.width - list.leftMargin - list.rightMargin
                compact: panel.compact
                actions: panel.actions
                onContextMenuRequested: (id) => {
                    menuLoader.active = true
                    menuLoader.item.popupFor(id)
                }
            }

            // The selected row moved from the keyboard comes into view with the least movement.
            Connections {
                target: panel.listModel
                function onSelectedRowChanged() { list.revealSelection() }
            }
        }

        // Made on first use: a Menu is costly to build and most sessions never open one.
        Loader {
            id: menuLoader
            active: false
            sourceComponent: ClipContextMenu { actions: panel.actions }
        }

        // Empty state.
        Item {
            visible: list.count === 0
            Layout.fillWidth: true
            Layout.fillHeight: true
            Column {
                anchors.centerIn: parent
                width: parent.width - 48
                spacing: 12
                SymbolIcon {
                    anchors.horizontalCenter: parent.horizontalCenter
                    name: panel.listState.emptyIcon
                    size: 36
                    color: Theme.alpha(Theme.secondary, 0.5)
                }
                Label {
                    width: parent.width
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.Wrap
                    text: panel.listState.emptyTitle
                    font.pixelSize: 14
                    font.weight: Font.Medium
                    color: Theme.secondary
                }
                Label {
                    width: parent.width
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.Wrap
                    text: panel.listState.emptySubtitle
                    font.pixelSize: 11
                    color: Theme.alpha(Theme.secondary, 0.7)
                }
            }
        }
    }
}
