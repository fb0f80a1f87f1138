// SPDX-License-Identifier: MIT
import QtQuick
import Vexilo

// The draggable strip between two panes. It reports the left pane's new width through
// `leftWidthEdited`, always within [minWidth, maxWidth]; the owner writes it back to `leftWidth`.
Item {
    id: root

    property real leftWidth: 0
    property real minWidth: 0
    property real maxWidth: Number.POSITIVE_INFINITY
    readonly property bool isHovered: area.containsMouse
    readonly property bool isDragging: area.dragStartWidth >= 0

    signal leftWidthEdited(real width)

    implicitWidth: 8
    Accessible.role: Accessible.Separator
    Accessible.name: qsTr("Resize panes")

    // The hover backdrop is a little wider than the strip itself.
    Rectangle {
        anchors.centerIn: parent
        width: 12
        height: parent.height
        color: root.isDragging ? Theme.alpha(Theme.accent, 0.12)
                               : root.isHovered ? Theme.alpha(Theme.primary, 0.05) : "transparent"

        Behavior on color {
            ColorAnimation { duration: Theme.duration(120); easing.type: Easing.InOutQuad }
        }
    }
    Rectangle {
        anchors.centerIn: parent
        width: root.isDragging ? 2 : 1
        height: parent.height
        color: root.isDragging ? Theme.accent : Theme.alpha(Theme.white, root.isHovered ? 0.35 : 0.08)
    }
    Rectangle {
        anchors.centerIn: parent
        width: 3
        height: 28
        radius: 1.5
        color: root.isDragging ? Theme.accent : Theme.alpha(Theme.secondary, 0.8)
        opacity: root.isHovered || root.isDragging ? 1 : 0

        Behavior on opacity {
            NumberAnimation { duration: Theme.duration(120); easing.type: Easing.InOutQuad }
        }
    }

    MouseArea {
        id: area

        // Where the press was, in window coordinates: the strip itself moves while it is dragged.
        property real pressX: 0
        // The width when the drag began; -1 while there is no drag.
        property real dragStartWidth: -1

        function endDrag() {
            dragStartWidth = -1
        }

        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.SizeHorCursor
        preventStealing: true
        onPressed: mouse => pressX = mapToItem(null, mouse.x, 0).x
        onPositionChanged: mouse => {
            if (!pressed)
                return
            const translation = mapToItem(null, mouse.x, 0).x - pressX
            if (dragStartWidth < 0) {
                if (Math.abs(translation) < 1)
                    return
                dragStartWidth = root.leftWidth
            }
            root.leftWidthEdited(Math.min(root.maxWidth, Math.max(root.minWidth, dragStartWidth + translation)))
        }
        onReleased: endDrag()
        onCanceled: endDrag()
    }
}
