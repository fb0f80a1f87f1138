// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// One clip of the list: its visual, badge, title, subtitle, tags and age, the quick-paste slot, and
// on hover or selection the pin, paste and delete buttons.
Item {
    id: row

    required property int index
    required property string clipId
    required property string title
    required property string subtitle
    required property string badgeLabel
    required property color badgeTint
    required property string tileTint
    required property string categoryName
    required property bool isCode
    required property bool isPinned
    required property string tagsChip
    required property string age
    required property string language
    required property bool hasExtractedText
    required property string imageFileName
    required property string visualKind
    required property string tileIcon
    required property string sourceAppBundleId
    required property int slot
    required property bool isSelected
    required property string accessibleName
    required property string accessibleHint

    property bool compact: false
    property var actions

    signal contextMenuRequested(string clipId)

    readonly property int visualSize: compact ? 30 : 38
    readonly property bool hovered: hover.hovered

    implicitHeight: compact ? 42 : 52

    Accessible.role: Accessible.ListItem
    Accessible.name: accessibleName
    Accessible.description: accessibleHint
    Accessible.selected: isSelected

    HoverHandler { id: hover }

    Rectangle {
        anchors.fill: parent
        radius: 10
        color: row.isSelected ? Theme.textBackground
                              : row.hovered ? Theme.alpha(Theme.primary, 0.04) : "transparent"
        border.width: row.isSelected ? (Theme.increasedContrast ? 1.5 : 1) : 0
        border.color: Theme.accent
        Behavior on color { ColorAnimation { duration: Theme.duration(120) } }

        Rectangle {
            visible: row.isSelected
            x: 3
            anchors.verticalCenter: parent.verticalCenter
            width: 3
            height: 24
            radius: 1.5
            gradient: Gradient {
                GradientStop { position: 0; color: Theme.brandColors[0] }
                GradientStop { position: 0.5; color: Theme.brandColors[1] }
                GradientStop { position: 1; color: Theme.brandColors[2] }
            }
        }
    }

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onClicked: (mouse) => {
            row.actions.select(row.clipId)
            if (mouse.button === Qt.RightButton)
                row.contextMenuRequested(row.clipId)
        }
        onDoubleClicked: row.actions.paste(row.clipId)
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 10
        anchors.rightMargin: 8
        spacing: 10

        // The visual, with the slot badge over it.
        Item {
            Layout.preferredWidth: row.visualSize
            Layout.preferredHeight: row.visualSize

            readonly property color tileTint: Theme[row.tileTint] || Theme.blue

            Rectangle {
                id: tile
                anchors.fill: parent
                visible: !thumbnail.visible && !appIcon.visible
                radius: 8
                color: Theme.alpha(parent.tileTint, 0.12)
                border.width: 1
                border.color: Theme.alpha(parent.tileTint, 0.18)
                SymbolIcon {
                    anchors.centerIn: parent
                    name: row.tileIcon
                    size: Math.round(row.visualSize * 0.42)
                    color: parent.parent.tileTint
                }
            }
            Image {
                id: thumbnail
                anchors.fill: parent
                visible: row.visualKind === "image" && status === Image.Ready
                asynchronous: true
                cache: false
                fillMode: Image.PreserveAspectCrop
                sourceSize: Qt.size(row.visualSize, row.visualSize)
                source: row.visualKind === "image" && row.imageFileName.length > 0
                        ? "image://thumbnail/" + encodeURIComponent(row.imageFileName) + "?size=" + row.visualSize : ""
            }
            Image {
                id: appIcon
                anchors.fill: parent
                visible: row.visualKind === "app" && status === Image.Ready && implicitWidth > 1
                asynchronous: true
                sourceSize: Qt.size(row.visualSize, row.visualSize)
                source: row.visualKind === "app" && row.sourceAppBundleId.length > 0
                        ? "image://appicon/" + encodeURIComponent(row.sourceAppBundleId) : ""
            }
            Rectangle {
                visible: row.slot > 0
                x: -4
                y: -4
                width: slotLabel.implicitWidth + 9
                height: slotLabel.implicitHeight + 4
                radius: height / 2
                color: Qt.rgba(0, 0, 0, 0.88)
                border.width: 1
                border.color: Qt.rgba(1, 1, 1, Theme.increasedContrast ? 0.75 : 0.45)
                Label {
                    id: slotLabel
                    anchors.centerIn: parent
                    text: row.slot
                    font.pixelSize: 8
                    font.weight: Font.Black
                    color: "white"
                }
            }
        }

        // Preferred widths of 1 let the texts take exactly the room left, however long they are.
        ColumnLayout {
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            spacing: 2

            // Title line: badge, title, then the tags chip and the age at the trailing end.
            Item {
                id: titleLine
                Layout.fillWidth: true
                implicitHeight: Math.max(badge.implicitHeight, titleLabel.implicitHeight)
                ClipTypeBadge {
                    id: badge
                    anchors.left: parent.left
                    anchors.verticalCenter: parent.verticalCenter
                    label: row.badgeLabel
                    tint: row.badgeTint.valid ? row.badgeTint : (Theme[row.tileTint] || Theme.secondary)
                }
                Label {
                    id: titleLabel
                    anchors.left: badge.right
                    anchors.leftMargin: 6
                    anchors.right: trailing.left
                    anchors.rightMargin: trailing.width > 0 ? 6 : 0
                    anchors.verticalCenter: parent.verticalCenter
                    text: row.title
                    elide: Text.ElideRight
                    maximumLineCount: 1
                    color: Theme.primary
                    font.family: row.isCode ? "monospace" : Qt.application.font.family
                    font.pixelSize: row.isCode ? 12 : 13
                    font.weight: row.isSelected ? Font.DemiBold : Font.Medium
                }
                Row {
                    id: trailing
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 6
                    Rectangle {
                        id: tagsChipBox
                        visible: row.tagsChip.length > 0
                        anchors.verticalCenter: parent.verticalCenter
                        width: chip.implicitWidth + 8
                        height: chip.implicitHeight + 2
                        radius: height / 2
                        color: Theme.alpha(Theme.primary, 0.08)
                        Label {
                            id: chip
                            anchors.centerIn: parent
                            text: row.tagsChip
                            font.pixelSize: 9
                            font.weight: Font.DemiBold
                            color: Theme.secondary
                        }
                    }
                    // The age gives way when the title would be left with almost no room.
                    Label {
                        visible: !actionButtons.visible
                                 && titleLine.width - badge.width - (tagsChipBox.visible ? tagsChipBox.width : 0)
                                    - implicitWidth - 24 > 48
                        anchors.verticalCenter: parent.verticalCenter
                        text: row.age
                        font.pixelSize: 11
                        color: Theme.secondary
                    }
                }
            }
            RowLayout {
                Layout.fillWidth: true
                spacing: 5
                Label {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    text: row.subtitle
                    elide: Text.ElideRight
                    maximumLineCount: 1
                    font.pixelSize: 11
                    color: Theme.secondary
                }
                Rectangle {
                    visible: row.language.length > 0
                    implicitWidth: lang.implicitWidth + 7
                    implicitHeight: lang.implicitHeight + 2
                    radius: height / 2
                    color: Theme.alpha(Theme.primary, 0.08)
                    Label {
                        id: lang
                        anchors.centerIn: parent
                        text: row.language
                        font.pixelSize: 8
                        font.bold: true
                        color: Theme.secondary
                    }
                }
                SymbolIcon { visible: row.hasExtractedText; name: "text.viewfinder"; size: 9.5; color: Theme.secondary }
                SymbolIcon { visible: row.isPinned; name: "pin.fill"; size: 10; color: Theme.secondary }
            }
        }

        // Made only for the hovered or selected row: a list shows many rows and these are costly.
        Loader {
            id: actionButtons
            active: row.hovered || row.isSelected
            visible: active
            sourceComponent: RowLayout {
                spacing: 2
                AppButton {
                    iconName: row.isPinned ? "pin.slash.fill" : "pin"
                    variant: "ghost"
                    size: "iconXs"
                    helpText: row.isPinned ? "Unpin (Alt+P)" : "Pin to top (Alt+P)"
                    onClicked: row.actions.togglePin(row.clipId)
                }
                AppButton {
                    iconName: "arrow.right.doc.on.clipboard"
                    variant: "ghost"
                    size: "iconXs"
                    helpText: "Paste (\u21A9)"
                    onClicked: row.actions.paste(row.clipId)
                }
                AppButton {
                    iconName: "trash"
                    variant: "ghost"
                    size: "iconXs"
                    helpText: "Delete (Ctrl+Delete)"
                    onClicked: row.actions.deleteClip(row.clipId)
                }
            }
        }
    }

}
