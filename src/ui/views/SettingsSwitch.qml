// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import Vexilo

// An on/off switch in the theme's colours; the row's label names it for assistive technology.
Switch {
    id: root

    padding: 0
    spacing: 0
    implicitWidth: 34
    implicitHeight: 20
    focusPolicy: Qt.StrongFocus
    opacity: enabled ? 1 : 0.45
    Accessible.role: Accessible.CheckBox

    indicator: Rectangle {
        implicitWidth: 34
        implicitHeight: 20
        x: root.leftPadding
        y: root.topPadding + (root.availableHeight - height) / 2
        radius: height / 2
        color: root.checked ? Theme.accent : Theme.alpha(Theme.primary, Theme.dark ? 0.22 : 0.16)
        border.width: 1
        border.color: root.checked ? Theme.alpha(Theme.accent, 0.9) : Theme.alpha(Theme.primary, 0.12)

        Behavior on color {
            ColorAnimation { duration: Theme.duration(120) }
        }

        Rectangle {
            width: parent.height - 4
            height: width
            radius: width / 2
            y: 2
            x: root.checked ? parent.width - width - 2 : 2
            color: Theme.white
            border.width: 1
            border.color: Qt.rgba(0, 0, 0, 0.08)

            Behavior on x {
                NumberAnimation { duration: Theme.duration(120); easing.type: Easing.OutQuad }
            }
        }

        SettingsFocusRing {
            shown: root.visualFocus
            cornerRadius: parent.radius
        }
    }
    contentItem: null
}
