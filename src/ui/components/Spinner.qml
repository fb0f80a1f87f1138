// SPDX-License-Identifier: MIT
import QtQuick
import Vexilo

// A small indeterminate spinner: eight bars that fade in turn (no shader needed). Scale it with
// `scale`, as the button does.
Item {
    id: root

    property color color: Theme.secondary
    property int step

    implicitWidth: 16
    implicitHeight: 16
    Accessible.role: Accessible.Animation
    Accessible.name: qsTr("Loading")

    NumberAnimation on step {
        from: 0
        to: 8
        duration: 800
        loops: Animation.Infinite
        running: root.visible
    }

    Repeater {
        model: 8
        Item {
            required property int index
            anchors.fill: parent
            rotation: index * 45
            // The bar the animation has just reached is the darkest; the ones behind it fade.
            opacity: 1 - ((root.step - index + 8) % 8) / 9

            Rectangle {
                x: (parent.width - width) / 2
                width: Math.max(1.5, parent.width * 0.12)
                height: parent.height * 0.3
                radius: width / 2
                color: root.color
            }
        }
    }
}
