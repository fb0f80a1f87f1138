// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// The right side of the split: the selected clip, or a hint when there is none. The view exists only
// while a clip is selected, so its local state ends with the selection.
Item {
    id: root

    property var model: null

    ColumnLayout {
        anchors.centerIn: parent
        width: Math.min(parent.width - 32, 260)
        visible: !detailLoader.active
        spacing: 8

        SymbolIcon {
            Layout.alignment: Qt.AlignHCenter
            name: "doc.text.magnifyingglass"
            size: 32
            color: Theme.alpha(Theme.secondary, 0.35)
        }
        Label {
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            text: "No clip selected"
            font.pixelSize: 13
            color: Theme.primary
        }
        Label {
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            text: "Select a clip from the list to view its details"
            font.pixelSize: 11
            color: Theme.alpha(Theme.secondary, 0.7)
        }
    }

    Loader {
        id: detailLoader
        anchors.fill: parent
        active: root.model !== null && root.model.hasClip
        sourceComponent: ClipDetailView { model: root.model }
    }
}
