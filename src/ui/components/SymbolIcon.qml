// SPDX-License-Identifier: MIT
import QtQuick
import Vexilo

// An icon by its symbol name ("doc.on.doc"), drawn by the "symbol" image provider in `color`.
// `size` is the size of the text the icon stands beside: theme icons leave a margin inside their
// square, so the square is a third larger than the text to look as tall.
Item {
    id: root

    property string name: ""
    property real size: 16
    property color color: Theme.primary
    readonly property real pixelSize: Math.round(size * 4 / 3)

    implicitWidth: pixelSize
    implicitHeight: pixelSize

    Image {
        objectName: "image"
        anchors.fill: parent
        visible: root.name !== ""
        source: root.name === "" ? ""
                                 : "image://symbol/" + root.name + "?color=" + encodeURIComponent(root.color.toString())
        sourceSize: Qt.size(root.pixelSize, root.pixelSize)
        fillMode: Image.PreserveAspectFit
        smooth: true
    }
}
