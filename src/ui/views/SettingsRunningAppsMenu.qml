// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import Vexilo

// A menu of application identifiers in the theme's colours, rebuilt each time it opens.
Menu {
    id: root

    property var ids: []
    signal chosen(string id)

    function openWith(list) {
        ids = list
        open()
    }

    padding: 4
    width: 280

    background: Rectangle {
        radius: 8
        color: Theme.dark ? Qt.lighter(Theme.windowBackground, 1.25) : Theme.textBackground
        border.width: 1
        border.color: Theme.alpha(Theme.primary, Theme.dark ? 0.2 : 0.14)
    }

    component Entry: MenuItem {
        id: entry
        implicitHeight: 26
        leftPadding: 10
        rightPadding: 10
        contentItem: Text {
            text: entry.text
            font.pixelSize: 12
            color: !entry.enabled ? Theme.secondary : entry.highlighted ? Theme.white : Theme.primary
            elide: Text.ElideMiddle
            verticalAlignment: Text.AlignVCenter
        }
        background: Rectangle {
            radius: 5
            color: entry.highlighted && entry.enabled ? Theme.accent : "transparent"
        }
    }

    Instantiator {
        model: root.ids
        delegate: Entry {
            required property string modelData
            objectName: "runningApp_" + modelData
            text: modelData
            onTriggered: root.chosen(modelData)
        }
        onObjectAdded: (index, object) => root.insertItem(index, object)
        onObjectRemoved: (index, object) => root.removeItem(object)
    }

    Entry {
        objectName: "noRunningApps"
        visible: root.ids.length === 0
        height: visible ? implicitHeight : 0
        enabled: false
        text: "No other application has a window open"
    }
}
