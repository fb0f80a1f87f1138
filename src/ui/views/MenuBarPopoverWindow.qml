// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Window
import Vexilo

// The tray popover's window: frameless, rounded, 300 wide and as high as its content.
Window {
    id: window

    required property var popover
    required property var appearance

    readonly property int cornerRadius: 13

    flags: Qt.Tool | Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint
    width: 300
    height: view.implicitHeight
    minimumWidth: 300
    maximumWidth: 300
    title: "Vexilo"
    color: appearance.translucent ? "transparent" : Theme.windowBackground

    Binding { target: Theme; property: "dark"; value: window.appearance.dark }
    Binding { target: Theme; property: "increasedContrast"; value: window.appearance.increasedContrast }
    Binding { target: Theme; property: "reduceMotion"; value: window.appearance.reduceMotion }
    Binding { target: Theme; property: "translucent"; value: window.appearance.translucent }
    Binding { target: window.popover; property: "shown"; value: window.visible }

    onVisibleChanged: {
        if (visible)
            view.presented()
    }

    VisualEffectBlur {
        anchors.fill: parent
        cornerRadius: window.cornerRadius
    }

    MenuBarPopoverView {
        id: view
        anchors.left: parent.left
        anchors.right: parent.right
        height: implicitHeight
        focus: true
        popover: window.popover
    }

    Rectangle {
        anchors.fill: parent
        radius: window.cornerRadius
        color: "transparent"
        border.width: 1
        border.color: Theme.alpha(Theme.primary, 0.1)
    }
}
