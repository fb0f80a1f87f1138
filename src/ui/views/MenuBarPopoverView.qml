// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// The tray popover's content: header, search, category filters, the latest clips and the footer's
// commands. Its height follows the content; the window takes it.
FocusScope {
    id: root

    required property var popover

    objectName: "popoverView"

    // The row the arrow keys highlight, and whether the pointer or the keyboard last chose one: only
    // one of them highlights a row at a time.
    property int keyIndex: -1
    property int hoverIndex: -1
    property bool pointerDriven: true
    property point lastPointer: Qt.point(-1, -1)

    implicitWidth: 300
    implicitHeight: content.implicitHeight

    // Each time the window appears.
    function presented() {
        keyIndex = -1
        pointerDriven = true
        list.positionViewAtBeginning()
        searchField.forceActiveFocus()
    }

    function moveHighlight(step) {
        if (list.count === 0)
            return
        const from = pointerDriven && hoverIndex >= 0 ? hoverIndex : keyIndex
        keyIndex = from < 0 ? (step > 0 ? 0 : list.count - 1) : Math.max(0, Math.min(list.count - 1, from + step))
        pointerDriven = false
        list.positionViewAtIndex(keyIndex, ListView.Contain)
    }

    // Return copies the highlighted row, or the first one when none is.
    function copyHighlighted() {
        const chosen = pointerDriven ? hoverIndex : keyIndex
        const row = chosen >= 0 ? chosen : 0
        if (row < list.count)
            popover.copyClip(popover.clips.clipIdAt(row))
    }

    function showActions(button, clipId, pinned) {
        popover.toggleActions(clipId)
        if (popover.actionsItemId !== clipId)
            return
        actionsMenu.clipId = clipId
        actionsMenu.pinned = pinned
        actionsMenu.returnFocus = Window.activeFocusItem
        actionsMenu.popup(button, 0, button.height + 2)
    }

    Keys.onPressed: (event) => {
        switch (event.key) {
        case Qt.Key_Escape:
            popover.dismiss()
            break
        case Qt.Key_Down:
            moveHighlight(1)
            break
        case Qt.Key_Up:
            moveHighlight(-1)
            break
        case Qt.Key_Return:
        case Qt.Key_Enter:
            // A focused button takes Return as a press; elsewhere it copies.
            if (Window.activeFocusItem instanceof AbstractButton) {
                Window.activeFocusItem.clicked()
                break
            }
            copyHighlighted()
            break
        default:
            return
        }
        event.accepted = true
    }

    Connections {
        target: root.popover
        function onSearchTextChanged() { root.keyIndex = -1 }
        function onSelectedFilterChanged() { root.keyIndex = -1 }
        function onActionsItemIdChanged() {
            if (root.popover.actionsItemId === "" && actionsMenu.opened)
                actionsMenu.close()
        }
    }
    Connections {
        target: root.popover.clips
        function onCountChanged() {
            if (root.keyIndex >= list.count)
                root.keyIndex = list.count - 1
        }
    }

    // Rows scrolled under a pointer that stands still must not take the highlight from the keys.
    HoverHandler {
        id: pointer
        onPointChanged: {
            const at = point.scenePosition
            if (at.x !== root.lastPointer.x || at.y !== root.lastPointer.y) {
                root.lastPointer = at
                root.pointerDriven = true
            }
        }
    }

    ColumnLayout {
        id: content
        anchors.left: parent.left
        anchors.right: parent.right
        spacing: 0

        // Header.
        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 14
            Layout.rightMargin: 10
            Layout.topMargin: 10
            Layout.bottomMargin: 8
            spacing: 6
            Label {
                objectName: "popoverHeaderTitle"
                text: root.popover.headerTitle
                font.pixelSize: 11
                font.weight: Font.DemiBold
                color: Theme.secondary
            }
            Item { Layout.fillWidth: true }
            AppButton {
                objectName: "popoverOpenAppButton"
                variant: "secondary"
                size: "sm"
                capsule: true
                helpText: "Open App"
                Accessible.name: "Open App"
                customLabel: Row {
                    spacing: 5
                    AppLogoView {
                        anchors.verticalCenter: parent.verticalCenter
                        size: 14
                        paused: root.popover.isPaused
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: "Open App"
                        font.pixelSize: 11
                        font.weight: Font.Medium
                        color: Theme.primary
                    }
                }
                onClicked: root.popover.openMainApp()
            }
        }

        // Search field.
        Rectangle {
            Layout.fillWidth: true
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            Layout.bottomMargin: 6
            implicitHeight: searchRow.implicitHeight + 10
            radius: 9
            color: Theme.alpha(Theme.textBackground, 0.65)
            border.width: searchField.activeFocus ? 1 : 0
            border.color: Theme.alpha(Theme.accent, 0.6)

            RowLayout {
                id: searchRow
                anchors.fill: parent
                anchors.leftMargin: 8
                anchors.rightMargin: 8
                anchors.topMargin: 5
                anchors.bottomMargin: 5
                spacing: 6
                SymbolIcon { name: "magnifyingglass"; size: 12; color: Theme.secondary }
                TextField {
                    id: searchField
                    objectName: "popoverSearchField"
                    Layout.fillWidth: true
                    implicitHeight: 18
                    background: null
                    padding: 0
                    font.pixelSize: 13
                    color: Theme.primary
                    placeholderText: "Search clipboard"
                    placeholderTextColor: Theme.secondary
                    selectByMouse: true
                    text: root.popover.searchText
                    onTextEdited: root.popover.searchText = text
                    Accessible.name: "Search clipboard"
                }
                AppButton {
                    objectName: "popoverClearSearchButton"
                    visible: searchField.text.length > 0
                    iconName: "xmark.circle.fill"
                    variant: "ghost"
                    size: "iconXs"
                    capsule: true
                    Accessible.name: "Clear search"
                    onClicked: {
                        root.popover.searchText = ""
                        searchField.forceActiveFocus()
                    }
                }
            }
        }

        // Category filters.
        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            Layout.bottomMargin: 6
            spacing: 2
            Repeater {
                model: root.popover.filterTabs
                delegate: MenuBarFilterTabButton {
                    required property var modelData
                    objectName: "popoverTab_" + modelData.type
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    iconName: modelData.icon
                    help: modelData.help
                    isSelected: root.popover.selectedFilter === modelData.type
                    onClicked: root.popover.selectedFilter = modelData.type
                }
            }
        }

        // The clips.
        Item {
            Layout.fillWidth: true
            implicitHeight: root.popover.listHeight

            ListView {
                id: list
                objectName: "popoverList"
                anchors.fill: parent
                clip: true
                spacing: 2
                topMargin: 2
                bottomMargin: 2
                leftMargin: 6
                rightMargin: 6
                boundsBehavior: Flickable.StopAtBounds
                model: root.popover.clips
                ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }
                delegate: MenuBarClipRow {
                    id: clipRow
                    width: list.width - list.leftMargin - list.rightMargin
                    menuOpen: root.popover.actionsItemId === clipId
                    highlighted: menuOpen || (root.pointerDriven ? hovered : root.keyIndex === index)
                    onHoveredChanged: {
                        if (hovered)
                            root.hoverIndex = index
                        else if (root.hoverIndex === index)
                            root.hoverIndex = -1
                    }
                    onCopyRequested: root.popover.copyClip(clipId)
                    onMoreRequested: (button) => root.showActions(button, clipRow.clipId, clipRow.pinned)
                }
            }
            Label {
                objectName: "popoverEmptyMessage"
                anchors.centerIn: parent
                visible: list.count === 0
                text: root.popover.emptyMessage
                font.pixelSize: 13
                color: Theme.secondary
            }
        }

        Divider { Layout.fillWidth: true }

        // Footer.
        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 6
            spacing: 2
            MenuBarFooterButton {
                objectName: "popoverFooter_Pause"
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                title: "Pause"
                iconName: root.popover.pauseSymbol
                help: root.popover.pauseHelp
                onClicked: root.popover.togglePause()
            }
            MenuBarFooterButton {
                objectName: "popoverFooter_Settings"
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                title: "Settings"
                iconName: "gearshape"
                onClicked: root.popover.openSettings()
            }
            MenuBarFooterButton {
                objectName: "popoverFooter_Update"
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                title: "Update"
                iconName: "arrow.down.circle"
                help: "Check for Updates"
                onClicked: root.popover.checkForUpdates()
            }
            MenuBarFooterButton {
                objectName: "popoverFooter_Quit"
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                title: "Quit"
                iconName: "power"
                isDestructive: true
                onClicked: root.popover.quit()
            }
        }
    }

    // One menu for whichever row asked: rows come and go with the list, the menu stays.
    Menu {
        id: actionsMenu
        objectName: "popoverActionsMenu"

        property string clipId: ""
        property bool pinned: false
        // The menu takes the keyboard; whatever had it gets it back.
        property Item returnFocus: null

        // Modal, so that a click outside only closes it: on the same row's button it would
        // otherwise open again at once.
        modal: true
        dim: false
        width: 150
        // Inside the popover: a menu for a row near the bottom opens upwards instead of being cut off.
        margins: 6
        palette.window: Theme.windowBackground
        palette.base: Theme.textBackground
        palette.windowText: Theme.primary
        palette.text: Theme.primary
        palette.buttonText: Theme.primary
        palette.highlight: Theme.accent
        palette.highlightedText: "white"
        palette.light: Theme.windowBackground
        palette.mid: Theme.alpha(Theme.primary, 0.15)
        palette.dark: Theme.alpha(Theme.primary, 0.3)

        onClosed: {
            if (root.popover.actionsItemId === clipId)
                root.popover.closeActions()
            if (returnFocus)
                returnFocus.forceActiveFocus()
            else
                searchField.forceActiveFocus()
        }

        MenuItem {
            objectName: "popoverMenuPin"
            text: actionsMenu.pinned ? "Unpin" : "Pin"
            icon.source: "image://symbol/" + (actionsMenu.pinned ? "pin.slash" : "pin") + "?color="
                         + encodeURIComponent(Theme.primary.toString())
            icon.width: 14
            icon.height: 14
            onTriggered: root.popover.togglePin(actionsMenu.clipId)
        }
        MenuItem {
            objectName: "popoverMenuDelete"
            text: "Delete"
            palette.windowText: Theme.red
            icon.source: "image://symbol/trash?color=" + encodeURIComponent(Theme.red.toString())
            icon.width: 14
            icon.height: 14
            onTriggered: root.popover.deleteClip(actionsMenu.clipId)
        }
    }
}
