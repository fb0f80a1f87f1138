// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import Vexilo

// A command at the foot of the popover: a symbol over a short title.
AbstractButton {
    id: control

    property string title: ""
    property string help: ""
    property string iconName: ""
    property bool isDestructive: false

    readonly property color foreground: isDestructive ? Theme.red : hovered ? Theme.primary : Theme.secondary

    padding: 4
    hoverEnabled: true
    focusPolicy: Qt.TabFocus
    Accessible.role: Accessible.Button
    Accessible.name: title
    Accessible.description: help
    ToolTip.visible: hovered && help !== ""
    ToolTip.text: help
    ToolTip.delay: 600

    background: Rectangle {
        radius: 9
        color: control.hovered ? Theme.alpha(Theme.primary, 0.06) : "transparent"
        border.width: control.visualFocus ? 1 : 0
        border.color: Theme.accent
    }
    contentItem: Column {
        spacing: 2
        Item {
            width: parent.width
            height: 13
            SymbolIcon {
                anchors.centerIn: parent
                name: control.iconName
                size: 10
                color: control.foreground
            }
        }
        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: control.title
            font.pixelSize: 9
            font.weight: Font.Medium
            color: control.foreground
        }
    }
}
