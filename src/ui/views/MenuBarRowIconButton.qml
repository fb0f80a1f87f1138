// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import Vexilo

// A small square button at the end of a popover row; white on a highlighted row.
AbstractButton {
    id: control

    property string iconName: ""
    property string help: ""
    property bool rowHighlighted: false
    // Drawn as hovered while what it opened is open.
    property bool isActive: false

    readonly property bool lit: hovered || isActive

    implicitWidth: 22
    implicitHeight: 22
    hoverEnabled: true
    focusPolicy: Qt.TabFocus
    Accessible.role: Accessible.Button
    Accessible.name: help
    ToolTip.visible: hovered && help !== ""
    ToolTip.text: help
    ToolTip.delay: 600

    background: Rectangle {
        radius: 6
        color: !control.lit ? "transparent"
                            : control.rowHighlighted ? Theme.alpha(Theme.white, 0.24) : Theme.alpha(Theme.primary, 0.08)
        border.width: control.visualFocus ? 1 : 0
        border.color: control.rowHighlighted ? Theme.white : Theme.accent
    }
    contentItem: Item {
        SymbolIcon {
            anchors.centerIn: parent
            name: control.iconName
            size: 11
            color: control.rowHighlighted ? Theme.white : control.lit ? Theme.primary : Theme.secondary
        }
    }
}
