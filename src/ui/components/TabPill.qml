// SPDX-License-Identifier: MIT
import QtQuick
import Vexilo

// The capsule under the selected tab of AppTabs; it slides from tab to tab.
Item {
    id: root

    // The tab it stands under (an item with `isSelected`); hidden while that is not selected.
    property Item target: null
    // The tab's own colour; transparent for the brand gradient.
    property color tint: "transparent"
    readonly property bool shown: target !== null && target.isSelected === true && target.visible

    visible: shown
    x: shown ? target.x : x
    y: shown ? target.y : y
    width: shown ? target.width : width
    height: shown ? target.height : height

    Behavior on x {
        enabled: root.shown
        NumberAnimation { duration: Theme.duration(280); easing.type: Easing.OutBack; easing.overshoot: 0.6 }
    }
    Behavior on width {
        enabled: root.shown
        NumberAnimation { duration: Theme.duration(280); easing.type: Easing.OutBack; easing.overshoot: 0.6 }
    }

    // Soft shadow, 2 down.
    Rectangle {
        anchors.fill: parent
        anchors.topMargin: 2
        anchors.bottomMargin: -2
        radius: height / 2
        color: Qt.rgba(0, 0, 0, 0.1)
    }
    // Outline: a vertical white gradient showing as a 1-pixel ring around the fill.
    Rectangle {
        anchors.fill: parent
        radius: height / 2
        gradient: Gradient {
            GradientStop { position: 0.0; color: Theme.alpha(Theme.white, 0.45) }
            GradientStop { position: 1.0; color: Theme.alpha(Theme.white, 0.15) }
        }
    }
    Rectangle {
        id: fill
        readonly property bool tinted: root.tint.a > 0
        anchors.fill: parent
        anchors.margins: 1
        radius: height / 2
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: 0.0; color: fill.tinted ? root.tint : Theme.brandColors[0] }
            GradientStop { position: 0.5; color: fill.tinted ? Theme.alpha(root.tint, 0.925) : Theme.brandColors[1] }
            GradientStop { position: 1.0; color: fill.tinted ? Theme.alpha(root.tint, 0.85) : Theme.brandColors[2] }
        }
    }
}
