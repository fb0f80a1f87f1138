// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// The detail pane's action bar: paste, copy, pin, QR and delete, as the widest of three rows that
// fits (full labels, short labels, icons only). The two labelled rows are measured while hidden.
Item {
    id: root

    property bool isPinned: false
    readonly property int layout: FooterLayout.layoutFor(width, regular.implicitWidth, compact.implicitWidth)

    signal paste()
    signal copy()
    signal togglePin()
    signal showQR()
    signal deleteClip()

    implicitHeight: Math.max(regular.implicitHeight, compact.implicitHeight, icons.implicitHeight)

    // One row of the five buttons in a given style.
    component ButtonRow: RowLayout {
        id: row
        property int style: FooterLayout.Regular
        readonly property bool iconsOnly: style === FooterLayout.IconsOnly
        spacing: FooterLayout.spacing(style)

        AppButton {
            variant: "primary"
            iconName: "arrow.right.doc.on.clipboard"
            title: row.style === FooterLayout.Regular ? "Paste (↩)" : row.style === FooterLayout.Compact ? "Paste" : ""
            size: row.iconsOnly ? "iconSm" : "sm"
            helpText: row.iconsOnly ? "Paste (↩)" : ""
            onClicked: root.paste()
        }
        AppButton {
            iconName: "doc.on.doc"
            title: row.iconsOnly ? "" : "Copy"
            size: row.iconsOnly ? "iconSm" : "sm"
            helpText: row.iconsOnly ? "Copy" : ""
            onClicked: root.copy()
        }
        AppButton {
            iconName: root.isPinned ? "pin.slash.fill" : "pin"
            variant: root.isPinned ? "tinted" : "default"
            tint: Theme.orange
            title: row.iconsOnly ? "" : root.isPinned ? "Unpin" : "Pin"
            size: row.iconsOnly ? "iconSm" : "sm"
            helpText: root.isPinned ? "Unpin (Alt+P)" : "Pin (Alt+P)"
            onClicked: root.togglePin()
        }
        AppButton {
            iconName: "qrcode.viewfinder"
            title: row.style === FooterLayout.Regular ? "QR Code" : row.style === FooterLayout.Compact ? "QR" : ""
            size: row.iconsOnly ? "iconSm" : "sm"
            helpText: "Generate QR code"
            onClicked: root.showQR()
        }
        Item { Layout.fillWidth: true }
        AppButton {
            variant: "destructive"
            iconName: "trash"
            title: row.style === FooterLayout.Regular ? "Delete" : ""
            size: row.style === FooterLayout.Regular ? "sm" : "iconSm"
            helpText: row.style === FooterLayout.Regular ? "" : "Delete (Ctrl+Delete)"
            onClicked: root.deleteClip()
        }
    }

    ButtonRow {
        id: regular
        objectName: "regularRow"
        width: parent.width
        anchors.verticalCenter: parent.verticalCenter
        style: FooterLayout.Regular
        visible: root.layout === FooterLayout.Regular
    }
    ButtonRow {
        id: compact
        objectName: "compactRow"
        width: parent.width
        anchors.verticalCenter: parent.verticalCenter
        style: FooterLayout.Compact
        visible: root.layout === FooterLayout.Compact
    }
    ButtonRow {
        id: icons
        objectName: "iconsRow"
        width: parent.width
        anchors.verticalCenter: parent.verticalCenter
        style: FooterLayout.IconsOnly
        visible: root.layout === FooterLayout.IconsOnly
    }
}
