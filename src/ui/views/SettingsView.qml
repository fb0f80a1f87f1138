// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// The preferences: the sections in a sidebar, a divider, and the selected section's cards in a
// scrolling detail pane.
Item {
    id: root

    required property var settings
    required property var cheatsheet

    property string selection: "general"
    readonly property var sections: settings.sections
    readonly property int selectedIndex: sections.findIndex(s => s.id === selection)

    // Back to the first section at the top, as a freshly opened window.
    function reset() {
        selection = sections[0].id
        detail.contentY = 0
        sidebar.forceActiveFocus()
        sidebar.quietFocus = true
    }

    // The next or previous section, wrapping around.
    function stepSection(step) {
        const count = sections.length
        selection = sections[(selectedIndex + step + count) % count].id
    }

    Rectangle {
        id: sidebarPane
        width: 168
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        color: Theme.alpha(Theme.primary, Theme.dark ? 0.04 : 0.03)

        ColumnLayout {
            anchors.fill: parent
            anchors.margins: 10
            anchors.topMargin: 14
            spacing: 6

            Label {
                text: "Preferences"
                font.pixelSize: 11
                color: Theme.secondary
                Layout.leftMargin: 10
                Layout.bottomMargin: 2
            }

            ListView {
                id: sidebar

                // The focus outline is for keyboard users: it stays hidden after a click and when
                // the window opens, until a key is pressed here.
                property bool quietFocus: true

                objectName: "settingsSidebar"
                Layout.fillWidth: true
                Layout.fillHeight: true
                spacing: 2
                interactive: false
                focus: true
                activeFocusOnTab: true
                keyNavigationEnabled: true
                model: root.sections
                currentIndex: root.selectedIndex
                onCurrentIndexChanged: {
                    if (currentIndex >= 0 && currentIndex !== root.selectedIndex)
                        root.selection = root.sections[currentIndex].id
                }
                onActiveFocusChanged: if (!activeFocus) quietFocus = false
                Keys.onPressed: (event) => {
                    quietFocus = false
                    event.accepted = false
                }
                Accessible.role: Accessible.PageTabList
                Accessible.name: "Preferences sections"

                delegate: Rectangle {
                    id: sectionRow

                    required property var modelData
                    required property int index
                    readonly property bool selected: root.selection === modelData.id

                    objectName: "settingsSection_" + modelData.id
                    width: ListView.view.width
                    implicitHeight: label.implicitHeight + 14
                    radius: 7
                    color: selected ? Theme.alpha(Theme.primary, 0.14)
                                    : rowHover.hovered ? Theme.alpha(Theme.primary, 0.06) : "transparent"
                    border.width: selected && sidebar.activeFocus && !sidebar.quietFocus ? 2 : 0
                    border.color: Theme.alpha(Theme.accent, 0.75)
                    Accessible.role: Accessible.PageTab
                    Accessible.name: modelData.title
                    Accessible.selected: selected

                    RowLayout {
                        anchors.fill: parent
                        anchors.leftMargin: 10
                        anchors.rightMargin: 10
                        spacing: 7

                        SymbolIcon {
                            name: sectionRow.modelData.icon
                            size: 12
                            color: sectionRow.selected ? Theme.accent : Theme.secondary
                        }
                        Label {
                            id: label
                            Layout.fillWidth: true
                            text: sectionRow.modelData.title
                            font.pixelSize: 13
                            color: Theme.primary
                            elide: Text.ElideRight
                        }
                    }
                    HoverHandler { id: rowHover }
                    TapHandler {
                        onTapped: {
                            root.selection = sectionRow.modelData.id
                            sidebar.forceActiveFocus()
                            sidebar.quietFocus = true
                        }
                    }
                }
            }
        }
    }

    Divider {
        id: divider
        vertical: true
        anchors.left: sidebarPane.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
    }

    ColumnLayout {
        anchors.left: divider.right
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        spacing: 0

        Label {
            objectName: "settingsSectionTitle"
            Layout.fillWidth: true
            Layout.margins: 20
            Layout.bottomMargin: 4
            text: root.selectedIndex >= 0 ? root.sections[root.selectedIndex].title : ""
            font.pixelSize: 15
            font.bold: true
            color: Theme.primary
            Accessible.role: Accessible.Heading
        }

        Flickable {
            id: detail
            objectName: "settingsDetail"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            contentWidth: width
            contentHeight: page.implicitHeight + 32
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

            // Brings the control that took the keyboard into view.
            function reveal(item) {
                let ancestor = item
                while (ancestor && ancestor !== detail.contentItem)
                    ancestor = ancestor.parent
                if (!ancestor)
                    return
                const top = item.mapToItem(detail.contentItem, 0, 0).y - 8
                const bottom = top + item.height + 16
                if (top < detail.contentY)
                    detail.contentY = Math.max(0, top)
                else if (bottom > detail.contentY + detail.height)
                    detail.contentY = Math.min(bottom - detail.height, detail.contentHeight - detail.height)
            }

            Loader {
                id: page
                x: 16
                y: 16
                width: detail.width - 32
                sourceComponent: {
                    switch (root.selection) {
                    case "shortcuts": return shortcutsPage
                    case "privacy": return privacyPage
                    case "data": return dataPage
                    default: return generalPage
                    }
                }
                onLoaded: detail.contentY = 0
            }
        }
    }

    Connections {
        target: root.Window.window
        function onActiveFocusItemChanged() {
            const item = root.Window.window.activeFocusItem
            if (item)
                detail.reveal(item)
        }
    }

    Component {
        id: generalPage
        SettingsGeneralSection { settings: root.settings }
    }
    Component {
        id: shortcutsPage
        SettingsShortcutsSection { settings: root.settings; cheatsheet: root.cheatsheet }
    }
    Component {
        id: privacyPage
        SettingsPrivacySection { settings: root.settings }
    }
    Component {
        id: dataPage
        SettingsDataSection { settings: root.settings }
    }
}
