// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// The QR sharing sheet: the code, the text it carries (press to copy), and copying or saving the code.
Card {
    id: root

    required property var model

    width: 300
    padding: 14

    // Clicks on the card stay on it instead of reaching the backdrop, which closes the sheet.
    MouseArea {
        anchors.fill: parent
    }

    ColumnLayout {
        id: content
        width: parent.width
        spacing: 12

        RowLayout {
            Layout.fillWidth: true
            spacing: 6
            SymbolIcon { name: "qrcode.viewfinder"; size: 13; color: Theme.primary }
            Label {
                Layout.fillWidth: true
                text: root.model.title
                elide: Text.ElideRight
                font.pixelSize: 13
                font.weight: Font.DemiBold
                color: Theme.primary
            }
            AppButton {
                iconName: "xmark.circle.fill"
                size: "iconSm"
                variant: "ghost"
                helpText: "Close"
                onClicked: root.model.dismiss()
            }
        }

        // The code on white with a quiet border, drawn pixel for pixel so the modules stay sharp.
        Rectangle {
            visible: root.model.hasQRImage
            Layout.alignment: Qt.AlignHCenter
            implicitWidth: 160
            implicitHeight: 160
            radius: 8
            color: "white"
            ImageCanvas {
                objectName: "qrCanvas"
                anchors.centerIn: parent
                width: 140
                height: 140
                image: root.model.qrImage
                smoothScaling: false
            }
        }
        Item {
            visible: !root.model.hasQRImage
            Layout.alignment: Qt.AlignHCenter
            implicitWidth: 160
            implicitHeight: 160
            Label {
                anchors.centerIn: parent
                text: "Unable to generate QR code"
                font.pixelSize: 11
                font.weight: Font.Medium
                color: Theme.secondary
            }
        }

        Label {
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            text: root.model.subtitle
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
            font.pixelSize: 10
            color: Theme.secondary
        }

        // The encoded text; pressing it copies it.
        Rectangle {
            id: contentButton
            Layout.fillWidth: true
            implicitHeight: contentRow.implicitHeight + 16
            radius: 6
            color: Theme.alpha(Theme.primary, contentArea.containsMouse ? 0.08 : 0.05)
            Accessible.role: Accessible.Button
            Accessible.name: "Copy encoded content"
            RowLayout {
                id: contentRow
                anchors.fill: parent
                anchors.margins: 8
                spacing: 6
                Label {
                    Layout.fillWidth: true
                    text: root.model.copiedContentFeedback ? "Copied to clipboard" : root.model.content
                    wrapMode: Text.WrapAnywhere
                    maximumLineCount: 2
                    elide: Text.ElideRight
                    font.family: "monospace"
                    font.pixelSize: 10
                    color: root.model.copiedContentFeedback ? Theme.green : Theme.primary
                }
                SymbolIcon {
                    name: root.model.copiedContentFeedback ? "checkmark" : "doc.on.doc"
                    size: 10
                    color: Theme.secondary
                }
            }
            MouseArea {
                id: contentArea
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onClicked: root.model.copyEncodedContent()
            }
            ToolTip.visible: contentArea.containsMouse
            ToolTip.delay: 600
            ToolTip.text: "Copy encoded content"
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            AppButton {
                Layout.fillWidth: true
                title: root.model.copiedFeedback ? "Copied!" : "Copy"
                iconName: root.model.copiedFeedback ? "checkmark" : "doc.on.doc"
                size: "sm"
                isDisabled: !root.model.hasQRImage
                onClicked: root.model.copyQRImage()
            }
            AppButton {
                Layout.fillWidth: true
                title: "Save PNG"
                iconName: "square.and.arrow.down"
                size: "sm"
                isDisabled: !root.model.hasQRImage
                onClicked: root.model.saveQRImage()
            }
        }
    }
}
