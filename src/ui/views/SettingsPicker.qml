// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import Vexilo

// A pop-up menu of {label, value} choices in the theme's colours. `value` is the setting's current
// value; `chosen` fires with the value the user picked.
ComboBox {
    id: root

    property var value
    signal chosen(var value)

    textRole: "label"
    valueRole: "value"
    currentIndex: count > 0 ? indexOfValue(value) : -1
    onActivated: chosen(currentValue)
    focusPolicy: Qt.StrongFocus
    implicitWidth: Math.max(120, implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: 26
    leftPadding: 10
    rightPadding: 28
    font.pixelSize: 12
    // The widest choice sets the width, so that the control does not jump between values.
    implicitContentWidthPolicy: ComboBox.WidestText

    background: Rectangle {
        radius: 6
        color: root.hovered || root.pressed ? Theme.alpha(Theme.primary, Theme.dark ? 0.14 : 0.07)
                                            : Theme.alpha(Theme.primary, Theme.dark ? 0.09 : 0.04)
        border.width: 1
        border.color: Theme.alpha(Theme.primary, root.pressed ? 0.22 : 0.14)

        SettingsFocusRing {
            shown: root.visualFocus
            cornerRadius: parent.radius
        }
    }

    contentItem: Text {
        text: root.displayText
        font: root.font
        color: Theme.primary
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    indicator: SymbolIcon {
        x: root.width - width - 8
        y: (root.height - height) / 2
        name: "chevron.down"
        size: 9
        color: Theme.secondary
    }

    delegate: ItemDelegate {
        id: choice

        required property var modelData
        required property int index
        readonly property bool isCurrent: index === root.currentIndex

        width: ListView.view ? ListView.view.width : implicitWidth
        implicitHeight: 26
        leftPadding: 8
        rightPadding: 12
        highlighted: root.highlightedIndex === index
        hoverEnabled: true
        Accessible.name: modelData.label

        contentItem: Row {
            spacing: 6

            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                name: choice.isCurrent ? "checkmark" : ""
                width: 12
                size: 9
                color: choice.highlighted ? Theme.white : Theme.primary
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: choice.modelData.label
                font.pixelSize: 12
                color: choice.highlighted ? Theme.white : Theme.primary
            }
        }
        background: Rectangle {
            radius: 5
            color: choice.highlighted ? Theme.accent : "transparent"
        }
    }

    popup: Popup {
        y: root.height + 3
        width: Math.max(root.width, root.implicitContentWidth + 46)
        implicitHeight: Math.min(choices.contentHeight, 320) + topPadding + bottomPadding
        padding: 4

        contentItem: ListView {
            id: choices
            clip: true
            implicitHeight: contentHeight
            model: root.popup.visible ? root.delegateModel : null
            currentIndex: root.highlightedIndex
            boundsBehavior: Flickable.StopAtBounds
        }

        background: Rectangle {
            radius: 8
            color: Theme.dark ? Qt.lighter(Theme.windowBackground, 1.25) : Theme.textBackground
            border.width: 1
            border.color: Theme.alpha(Theme.primary, Theme.dark ? 0.2 : 0.14)

            Rectangle {
                z: -1
                anchors.fill: parent
                anchors.topMargin: 3
                anchors.bottomMargin: -3
                radius: parent.radius
                color: Qt.rgba(0, 0, 0, Theme.dark ? 0.35 : 0.1)
            }
        }
    }
}
