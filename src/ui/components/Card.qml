// SPDX-License-Identifier: MIT
import QtQuick
import Vexilo

// A rounded panel with a thin outline and a soft shadow; children go inside, `padding` from the edge.
Item {
    id: root

    property real radius: 12
    property real padding: 0
    default property alias content: inner.data

    implicitWidth: inner.childrenRect.width + 2 * padding
    implicitHeight: inner.childrenRect.height + 2 * padding

    Rectangle {
        anchors.fill: parent
        anchors.topMargin: 2
        anchors.bottomMargin: -2
        radius: root.radius
        color: Qt.rgba(0, 0, 0, Theme.dark ? 0.3 : 0.07)
    }
    Rectangle {
        anchors.fill: parent
        radius: root.radius
        color: Theme.windowBackground
        border.width: 1
        border.color: Theme.alpha(Theme.primary, 0.08)
    }
    Item {
        id: inner
        anchors.fill: parent
        anchors.margins: root.padding
    }
}
