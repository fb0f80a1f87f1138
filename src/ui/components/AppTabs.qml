// SPDX-License-Identifier: MIT
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import Vexilo

// A strip of tabs ({id, title, icon, badgeCount, tint}) with a "More" menu for the tabs beyond
// `maxVisibleTabs` (0 = no limit). The selected tab stands on a brand-coloured pill, and so does
// "More" while the selection is one it pulled into the strip. The parent owns `selection` and
// sets it from `activated`.
Item {
    id: root

    property var items: []
    property var selection
    property string variant: "segmented"
    property string size: "md"
    property bool isScrollable: false
    property int maxVisibleTabs: 0
    property bool showingMorePopover: false

    signal activated(var id)

    readonly property var ids: items.map(item => item.id)
    readonly property var visibleItems: TabStripLayout.visibleTabs(ids, selection, maxVisibleTabs).map(itemWithId)
    readonly property var overflowItems: TabStripLayout.overflowTabs(ids, selection, maxVisibleTabs).map(itemWithId)
    readonly property bool overflowActive: TabStripLayout.overflowActive(ids, selection, maxVisibleTabs)
    readonly property bool small: size === "sm"
    // The selected tab, which the pill stands under.
    property Item pillTarget: null

    function itemWithId(id) {
        return items.find(item => item.id === id)
    }

    function choose(id) {
        showingMorePopover = false
        activated(id)
    }

    implicitWidth: container.implicitWidth
    implicitHeight: container.implicitHeight
    Accessible.role: Accessible.PageTabList
    Accessible.name: qsTr("Category Tabs")

    Rectangle {
        id: container

        readonly property real inset: root.variant === "segmented" ? 3 : 0
        readonly property bool scrolls: root.isScrollable && root.maxVisibleTabs <= 0

        // A scrolling strip asks for its full width; a narrower parent makes it scroll.
        implicitWidth: strip.implicitWidth + (scrolls ? 4 : 0) + 2 * inset
        implicitHeight: strip.implicitHeight + (scrolls ? 4 : 0) + 2 * inset
        width: root.width > 0 ? root.width : implicitWidth
        height: implicitHeight
        radius: height / 2
        color: root.variant === "segmented" ? Theme.windowBackground : "transparent"
        border.width: root.variant === "segmented" ? 1 : 0
        border.color: Theme.alpha(Theme.primary, 0.08)

        Flickable {
            id: flick
            anchors.fill: parent
            anchors.margins: container.inset + (container.scrolls ? 2 : 0)
            contentWidth: strip.implicitWidth
            contentHeight: strip.implicitHeight
            flickableDirection: Flickable.HorizontalFlick
            interactive: container.scrolls && contentWidth > width
            clip: container.scrolls
            boundsBehavior: Flickable.StopAtBounds

            TabPill {
                objectName: "pill"
                target: root.pillTarget
                tint: root.pillTarget ? root.pillTarget.tabTint : "transparent"
            }
            TabPill {
                objectName: "morePill"
                target: moreButton
            }

            Row {
                id: strip
                spacing: 2

                Repeater {
                    objectName: "tabRepeater"
                    model: root.visibleItems

                    AbstractButton {
                        id: tab

                        required property var modelData
                        readonly property var tabId: modelData.id
                        readonly property color tabTint: modelData.tint !== undefined ? modelData.tint : "transparent"
                        readonly property bool isSelected: tabId === root.selection
                        readonly property int badge: modelData.badgeCount !== undefined ? modelData.badgeCount : 0

                        onIsSelectedChanged: if (isSelected) root.pillTarget = tab
                        Component.onCompleted: if (isSelected) root.pillTarget = tab

                        leftPadding: root.small ? 8 : 10
                        rightPadding: leftPadding
                        topPadding: root.small ? 3.5 : 4.5
                        bottomPadding: topPadding
                        hoverEnabled: true
                        focusPolicy: Qt.TabFocus
                        onClicked: root.choose(tabId)

                        Accessible.role: Accessible.PageTab
                        Accessible.name: modelData.title + qsTr(" category")
                        Accessible.description: badge >= 1 ? badge + qsTr(" items")
                                                            : isSelected ? qsTr("Currently active tab")
                                                                         : qsTr("Switch to ") + modelData.title + qsTr(" tab")
                        Accessible.selected: isSelected

                        background: Item {}
                        contentItem: Row {
                            spacing: 5

                            SymbolIcon {
                                anchors.verticalCenter: parent.verticalCenter
                                visible: (tab.modelData.icon || "") !== ""
                                name: tab.modelData.icon || ""
                                size: root.small ? 9.5 : 10.5
                                color: tab.isSelected ? Theme.white : Theme.alpha(Theme.primary, 0.85)
                            }
                            Text {
                                anchors.verticalCenter: parent.verticalCenter
                                text: tab.modelData.title
                                color: tab.isSelected ? Theme.white : Theme.alpha(Theme.primary, 0.85)
                                font.pixelSize: root.small ? 11 : 12
                                font.weight: tab.isSelected ? Font.DemiBold : Font.Medium
                            }
                            CountBadge {
                                anchors.verticalCenter: parent.verticalCenter
                                visible: tab.badge >= 1
                                count: tab.badge
                                inverted: tab.isSelected
                                pixelSize: root.small ? 8.5 : 9
                            }
                        }
                    }
                }

                AbstractButton {
                    id: moreButton

                    objectName: "moreButton"
                    readonly property bool isSelected: root.overflowActive

                    visible: root.overflowItems.length > 0
                    leftPadding: root.small ? 8 : 10
                    rightPadding: leftPadding
                    topPadding: root.small ? 3.5 : 4.5
                    bottomPadding: topPadding
                    focusPolicy: Qt.TabFocus
                    onClicked: root.showingMorePopover = !root.showingMorePopover

                    Accessible.role: Accessible.ButtonMenu
                    Accessible.name: qsTr("More")
                    Accessible.description: qsTr("More Categories")
                    Accessible.selected: isSelected

                    background: Item {}
                    contentItem: Row {
                        spacing: 4

                        SymbolIcon {
                            anchors.verticalCenter: parent.verticalCenter
                            name: "ellipsis"
                            size: root.small ? 9.5 : 10.5
                            color: moreButton.isSelected ? Theme.white : Theme.alpha(Theme.primary, 0.85)
                        }
                        SymbolIcon {
                            anchors.verticalCenter: parent.verticalCenter
                            name: "chevron.down"
                            size: root.small ? 8 : 9
                            color: moreButton.isSelected ? Theme.white : Theme.alpha(Theme.primary, 0.85)
                        }
                    }

                    MoreCategoriesPopup {
                        y: moreButton.height + 6
                        tabs: root
                    }
                }
            }
        }
    }
}
