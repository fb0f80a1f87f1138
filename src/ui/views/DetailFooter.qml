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
        property bool isPinned: false
        readonly property bool iconsOnly: style === FooterLayout.IconsOnly
        signal pasteClicked()
        signal copyClicked()
        signal pinClicked()
        signal qrClicked()
        signal deleteClicked()
        spacing: FooterLayout.spacing(style)

        AppButton {
            variant: "primary"
            iconName: "arrow.right.doc.on.clipboard"
            title: row.style === FooterLayout.Regular ? "Paste (↩)" : row.style === FooterLayout.Compact ? "Paste" : ""
            size: row.iconsOnly ? "iconSm" : "sm"
            helpText: row.iconsOnly ? "Paste (↩)" : ""
            onClicked: row.pasteClicked()
        }
        AppButton {
            iconName: "doc.on.doc"
            title: row.iconsOnly ? "" : "Copy"
            size: row.iconsOnly ? "iconSm" : "sm"
            helpText: row.iconsOnly ? "Copy" : ""
            onClicked: row.copyClicked()
        }
        AppButton {
            iconName: row.isPinned ? "pin.slash.fill" : "pin"
            variant: row.isPinned ? "tinted" : "default"
            tint: Theme.orange
            title: row.iconsOnly ? "" : row.isPinned ? "Unpin" : "Pin"
            size: row.iconsOnly ? "iconSm" : "sm"
            helpText: row.isPinned ? "Unpin (Alt+P)" : "Pin (Alt+P)"
            onClicked: row.pinClicked()
        }
        AppButton {
            iconName: "qrcode.viewfinder"
            title: row.style === FooterLayout.Regular ? "QR Code" : row.style === FooterLayout.Compact ? "QR" : ""
            size: row.iconsOnly ? "iconSm" : "sm"
            helpText: "Generate QR code"
            onClicked: row.qrClicked()
        }
        Item { Layout.fillWidth: true }
        AppButton {
            variant: "destructive"
            iconName: "trash"
            title: row.style === FooterLayout.Regular ? "Delete" : ""
            size: row.style === FooterLayout.Regular ? "sm" : "iconSm"
            helpText: row.style === FooterLayout.Regular ? "" : "Delete (Ctrl+Delete)"
            onClicked: row.deleteClicked()
        }
    }

    ButtonRow {
        id: regular
        objectName: "regularRow"
        width: parent.width
        anchors.verticalCenter: parent.verticalCenter
        style: FooterLayout.Regular
        visible: root.layout === FooterLayout.Regular
        isPinned: root.isPinned
        onPasteClicked: root.paste()
        onCopyClicked: root.copy()
        onPinClicked: root.togglePin()
        onQrClicked: root.showQR()
        onDeleteClicked: root.deleteClip()
    }
    ButtonRow {
        id: compact
        objectName: "compactRow"
        width: parent.width
        anchors.verticalCenter: parent.verticalCenter
        style: FooterLayout.Compact
        visible: root.layout === FooterLayout.Compact
        isPinned: root.isPinned
        onPasteClicked: root.paste()
        onCopyClicked: root.copy()
        onPinClicked: root.togglePin()
        onQrClicked: root.showQR()
        onDeleteClicked: root.deleteClip()
    }
    ButtonRow {
        id: icons
        objectName: "iconsRow"
        width: parent.width
        anchors.verticalCenter: parent.verticalCenter
        style: FooterLayout.IconsOnly
        visible: root.layout === FooterLayout.IconsOnly
        isPinned: root.isPinned
        onPasteClicked: root.paste()
        onCopyClicked: root.copy()
        onPinClicked: root.togglePin()
        onQrClicked: root.showQR()
        onDeleteClicked: root.deleteClip()
    }
}
