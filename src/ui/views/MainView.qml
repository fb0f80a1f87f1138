// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// The HUD's root view: header, category bar, the list and detail split (or the snippets manager),
// the status bar, and the overlays (QR sheet, undo toast, onboarding).
Item {
    id: root

    required property var store
    required property var main
    required property var listModel
    required property var listState
    required property var actions
    required property var detail
    required property var qrSheet
    required property var snippets
    required property var onboarding
    required property var cheatsheet

    signal startMove()

    // When the window appears: nothing is focused but the view itself, so that typing reaches the
    // keyboard rules first.
    function presented() {
        freshSearch = true
        root.forceActiveFocus()
    }

    function toggleTagFilter() {
        tagLoader.active = true
        const popover = tagLoader.item
        popover.opened ? popover.close() : popover.open()
    }

    // The first character typed after the window appears starts a new search instead of extending
    // the one left from last time.
    property bool freshSearch: true

    // Typing a character while the search field is not focused starts a search with it.
    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_Menu || (event.key === Qt.Key_F10 && event.modifiers & Qt.ShiftModifier)) {
            listPanel.showContextMenuForSelection()
            event.accepted = true
            return
        }
        const plain = !(event.modifiers & (Qt.ControlModifier | Qt.AltModifier | Qt.MetaModifier))
        if (plain && event.text.length === 1 && event.text >= " " && event.text !== "\u007f") {
            searchField.forceActiveFocus()
            if (freshSearch)
                searchField.text = event.text
            else
                searchField.insert(searchField.cursorPosition, event.text)
            searchField.cursorPosition = searchField.text.length
            freshSearch = false
            root.store.searchQuery = searchField.text
            event.accepted = true
        }
    }

    VisualEffectBlur {
        anchors.fill: parent
        cornerRadius: Theme.translucent ? 12 : 0
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        // Header block: pause banner, header bar, category bar.
        ColumnLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 14
            Layout.rightMargin: 14
            Layout.topMargin: 10
            Layout.bottomMargin: 8
            spacing: 8

            Rectangle {
                visible: root.main.isPaused
                Layout.fillWidth: true
                implicitHeight: 28
                radius: 8
                color: Theme.alpha(Theme.orange, 0.12)
                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 10
                    anchors.rightMargin: 6
                    spacing: 6
                    SymbolIcon { name: "pause.circle.fill"; size: 13; color: Theme.orange }
                    Label {
                        text: "Clipboard capture is paused"
                        font.pixelSize: 11
                        font.weight: Font.DemiBold
                        color: Theme.primary
                        Layout.fillWidth: true
                    }
                    AppButton {
                        title: "Resume"
                        size: "xs"
                        variant: "tinted"
                        tint: Theme.orange
                        onClicked: root.store.isPaused = false
                    }
                }
            }

            // Header bar; dragging its empty parts moves the window.
            Item {
                Layout.fillWidth: true
                implicitHeight: 34
                MouseArea {
                    anchors.fill: parent
                    onPressed: root.startMove()
                }
                RowLayout {
                    anchors.fill: parent
                    spacing: 8

                    AppLogoView { size: 26; cornerRadius: 7; paused: root.main.isPaused }
                    Label {
                        text: "Vexilo"
                        font.pixelSize: 13
                        font.bold: true
                        color: Theme.primary
                    }
                    AppButton {
                        iconName: root.main.isPaused ? "pause.circle.fill" : "record.circle"
                        variant: "tinted"
                        tint: root.main.isPaused ? Theme.orange : Theme.green
                        size: "iconSm"
                        capsule: true
                        helpText: root.main.recordingHelp
                        onClicked: root.main.togglePaused()
                    }

                    // Search field.
                    Rectangle {
                        id: searchBox
                        Layout.fillWidth: true
                        implicitHeight: 32
                        radius: 9
                        color: Theme.textBackground
                        border.width: searchField.activeFocus ? 1.5 : (Theme.increasedContrast ? 1.5 : 1)
                        border.color: searchField.activeFocus ? Theme.accent
                                      : Theme.alpha(Theme.primary, Theme.increasedContrast ? 0.5 : 0.12)
                        Rectangle {
                            z: -1
                            anchors.fill: parent
                            anchors.topMargin: 1
                            anchors.bottomMargin: -1
                            radius: parent.radius
                            color: searchField.activeFocus ? Theme.alpha(Theme.accent, 0.25) : Qt.rgba(0, 0, 0, 0.03)
                        }
                        RowLayout {
                            anchors.fill: parent
                            anchors.leftMargin: 12
                            anchors.rightMargin: 8
                            spacing: 6
                            SymbolIcon { name: "magnifyingglass"; size: 13; color: Theme.secondary }
                            TextField {
                                id: searchField
                                objectName: "searchField"
                                Layout.fillWidth: true
                                background: null
                                padding: 0
                                font.pixelSize: 13
                                color: Theme.primary
                                placeholderText: "Search clips, OCR text, #tags, code..."
                                placeholderTextColor: Theme.secondary
                                selectByMouse: true
                                Component.onCompleted: text = root.store.searchQuery
                                onTextEdited: root.store.searchQuery = text
                                onActiveFocusChanged: root.store.isSearchFieldFocused = activeFocus
                                Accessible.name: "Search clips"
                                Accessible.description: "Filter clips by keyword, OCR text, tag, or code language"
                            }
                            AppButton {
                                visible: searchField.text.length > 0
                                iconName: "xmark.circle.fill"
                                variant: "ghost"
                                size: "iconXs"
                                capsule: true
                                helpText: "Clear search query"
                                onClicked: root.store.searchQuery = ""
                            }
                        }
                    }

                    AppButton {
                        id: helpButton
                        iconName: "questionmark.circle"
                        variant: "ghost"
                        size: "icon"
                        capsule: true
                        helpText: "Keyboard shortcuts"
                        onClicked: {
                            shortcutsLoader.active = true
                            const popup = shortcutsLoader.item
                            popup.opened ? popup.close() : popup.open()
                        }

                        // Made on first use: most sessions never open it.
                        Loader {
                            id: shortcutsLoader
                            active: false
                            sourceComponent: Popup {
                                focus: true
                                y: helpButton.height + 6
                                x: helpButton.width - width
                                padding: 14
                                background: Card { }
                                contentItem: ColumnLayout {
                                    spacing: 12
                                    Label {
                                        text: "Keyboard Shortcuts"
                                        font.pixelSize: 13
                                        font.bold: true
                                        color: Theme.primary
                                    }
                                    ShortcutsCheatsheetView {
                                        cheatsheet: root.cheatsheet
                                        Layout.preferredWidth: 300
                                    }
                                }
                            }
                        }
                    }
                    AppButton {
                        iconName: "gearshape"
                        variant: "ghost"
                        size: "icon"
                        capsule: true
                        helpText: "Preferences"
                        onClicked: root.actions.openSettings()
                    }
                }
            }

            // Category bar.
            RowLayout {
                Layout.fillWidth: true
                spacing: 8
                AppTabs {
                    id: tabs
                    items: root.main.tabs
                    selection: root.store.selectedCategory
                    variant: "segmented"
                    size: "md"
                    maxVisibleTabs: root.store.maxVisibleTabs
                    onActivated: (id) => root.main.selectCategory(id)
                }
                Item { Layout.fillWidth: true }
                AppButton {
                    id: tagButton
                    iconName: root.main.selectedTag.length > 0 ? "tag.fill" : "tag"
                    variant: root.main.selectedTag.length > 0 ? "tinted" : "ghost"
                    tint: Theme.accent
                    size: "icon"
                    capsule: true
                    helpText: root.main.tagButtonHelp
                    onClicked: root.toggleTagFilter()

                    Loader {
                        id: tagLoader
                        active: false
                        sourceComponent: TagFilterPopover {
                            objectName: "tagPopover"
                            main: root.main
                            y: tagButton.height + 6
                            x: tagButton.width - width
                        }
                    }
                }
            }
        }

        Divider { Layout.fillWidth: true; opacity: 0.5 }

        // Content: the snippets manager, or the list and the detail pane.
        Item {
            id: content
            Layout.fillWidth: true
            Layout.fillHeight: true

            // Built the first time the tab is chosen, then kept (its draft lives in the model anyway).
            Loader {
                id: snippetsLoader
                anchors.fill: parent
                active: false
                visible: root.main.isSnippetsSelected
                sourceComponent: SnippetsManagerView { model: root.snippets }
                Component.onCompleted: active = root.main.isSnippetsSelected
                Connections {
                    target: root.main
                    function onCategoryChanged() {
                        if (root.main.isSnippetsSelected)
                            snippetsLoader.active = true
                    }
                }
            }

            Item {
                id: split
                anchors.fill: parent
                visible: !root.main.isSnippetsSelected
                // Reads leftPanelWidth itself so that a drag of the divider moves the split at once.
                readonly property real listWidth: root.main.isDetailPaneVisible
                                                  ? Math.min(root.main.maximumListWidth(width),
                                                             Math.max(root.main.leftPanelWidth, 180))
                                                  : width

                ClipListPanel {
                    id: listPanel
                    x: 0
                    width: split.listWidth
                    height: parent.height
                    store: root.store
                    listModel: root.listModel
                    listState: root.listState
                    actions: root.actions
                }
                SlideSplitDivider {
                    visible: root.main.isDetailPaneVisible
                    x: split.listWidth - width / 2
                    height: parent.height
                    leftWidth: split.listWidth
                    minWidth: 180
                    maxWidth: root.main.maximumListWidth(split.width)
                    onLeftWidthEdited: (w) => root.main.leftPanelWidth = w
                    z: 2
                }
                // Built in the background: the window's first frame does not wait for the pane.
                Loader {
                    visible: root.main.isDetailPaneVisible
                    x: split.listWidth + 1
                    width: Math.max(split.width - split.listWidth - 1, 260)
                    height: parent.height
                    asynchronous: true
                    sourceComponent: ClipDetailPanel { model: root.detail }
                }
            }
        }

        Divider { Layout.fillWidth: true; opacity: 0.5 }

        // Status bar.
        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 14
            Layout.rightMargin: 14
            Layout.topMargin: 7
            Layout.bottomMargin: 7
            spacing: 6
            Label {
                text: root.main.itemCountText
                font.pixelSize: 11
                font.weight: Font.Medium
                color: Theme.secondary
            }
            Label {
                visible: root.main.isPaused
                text: "\u2022 PAUSED"
                font.pixelSize: 10
                font.bold: true
                color: Theme.orange
            }
            Item { Layout.fillWidth: true }
            Repeater {
                model: root.main.shortcutHints
                delegate: RowLayout {
                    required property var modelData
                    spacing: 3
                    Layout.leftMargin: 5
                    KeyCap { text: modelData.key }
                    Label { text: modelData.label; font.pixelSize: 10; color: Theme.secondary }
                }
            }
        }
    }

    // Overlays.
    Item {
        anchors.fill: parent
        visible: root.main.hasActiveQR
        opacity: visible ? 1 : 0
        Behavior on opacity { NumberAnimation { duration: Theme.duration(180); easing.type: Easing.OutCubic } }
        Rectangle {
            anchors.fill: parent
            color: Qt.rgba(0, 0, 0, 0.35)
            MouseArea { anchors.fill: parent; onClicked: root.main.dismissQR() }
        }
        Loader {
            anchors.centerIn: parent
            active: root.main.hasActiveQR
            sourceComponent: QRCodeModalView { model: root.qrSheet }
        }
    }

    UndoToastView {
        id: toast
        anchors.horizontalCenter: parent.horizontalCenter
        y: root.main.hasUndoDelete ? parent.height - height - 12 : parent.height + 8
        visible: root.main.hasUndoDelete || y < parent.height
        opacity: root.main.hasUndoDelete ? 1 : 0
        message: "Clip deleted"
        Behavior on y { NumberAnimation { duration: Theme.duration(150); easing.type: Easing.OutCubic } }
        Behavior on opacity { NumberAnimation { duration: Theme.duration(150) } }
        onUndo: root.main.undoDelete()
        onDismiss: root.main.commitDelete()
    }

    Loader {
        anchors.fill: parent
        active: !root.onboarding.isCompleted
        sourceComponent: Item {
            Rectangle {
                anchors.fill: parent
                color: Qt.rgba(0, 0, 0, 0.4)
                MouseArea { anchors.fill: parent }
            }
            OnboardingView {
                anchors.centerIn: parent
                model: root.onboarding
                onCompleted: root.onboarding.complete()
            }
        }
    }

    // Requests from the keyboard rules and the menu commands.
    Connections {
        target: root.store
        function onSearchQueryChanged() {
            if (searchField.text !== root.store.searchQuery)
                searchField.text = root.store.searchQuery
        }
        function onSearchFocusRequestChanged() { searchField.forceActiveFocus() }
        function onSearchResignRequestChanged() { root.forceActiveFocus() }
        function onInspectorToggleRequestChanged() {
            root.main.isDetailPaneVisible = !root.main.isDetailPaneVisible
        }
    }
}
