// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import Vexilo

// One category of the popover's filter bar: an icon, its name as tooltip.
AbstractButton {
    id: control

    property string iconName: ""
    property string help: ""
    property bool isSelected: false

    implicitHeight: 26
    hoverEnabled: true
    focusPolicy: Qt.TabFocus
    Accessible.role: Accessible.PageTab
    Accessible.name: help
    Accessible.selected: isSelected
    ToolTip.visible: hovered && help !== ""
    ToolTip.text: help
    ToolTip.delay: 600

    background: Rectangle {
        radius: 9
        color: control.isSelected ? Theme.alpha(Theme.primary, 0.12)
                                  : control.hovered ? Theme.alpha(Theme.primary, 0.06) : "transparent"
        border.width: control.visualFocus ? 1 : 0
        border.color: Theme.accent
    }
    contentItem: Item {
        SymbolIcon {
            anchors.centerIn: parent
            name: control.iconName
            size: 11
            color: control.isSelected || control.hovered ? Theme.primary : Theme.secondary
        }
    }
}
