// SPDX-License-Identifier: MIT
import QtQuick
import Vexilo

// The application's logo in a rounded square; a paperclip symbol stands in when the logo cannot
// be loaded. Half transparent while capture is paused.
Item {
    id: root

    property real size: 26
    property real cornerRadius: -1
    property bool paused: false
    readonly property bool showsLogo: logo.available

    implicitWidth: size
    implicitHeight: size
    opacity: paused ? 0.5 : 1.0
    Accessible.role: Accessible.Graphic
    Accessible.name: paused ? qsTr("Vexilo, paused") : qsTr("Vexilo")

    AppLogoImage {
        id: logo
        anchors.fill: parent
        visible: available
        cornerRadius: root.cornerRadius >= 0 ? root.cornerRadius : root.size * 0.22
    }
    SymbolIcon {
        objectName: "fallbackSymbol"
        anchors.centerIn: parent
        visible: !logo.available
        name: root.paused ? "paperclip.badge.ellipsis" : "paperclip"
        size: root.size * 0.72
        color: Theme.primary
    }
}
