// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// The lower part of the detail view: text recognition (image clips), tags, and text transforms
// (clips with text).
ColumnLayout {
    id: root

    required property var model

    spacing: 14

    component Caption: Label {
        font.pixelSize: 11
        font.weight: Font.DemiBold
        color: Theme.secondary
    }

    // Text recognition.
    ColumnLayout {
        visible: root.model.isImage
        Layout.fillWidth: true
        spacing: 8
        RowLayout {
            spacing: 5
            SymbolIcon { name: "text.viewfinder"; size: 11; color: Theme.secondary }
            Caption { text: "Extracted Text (OCR)" }
        }
        TextEdit {
            visible: root.model.extractedText !== ""
            Layout.fillWidth: true
            text: root.model.extractedText
            wrapMode: TextEdit.Wrap
            readOnly: true
            selectByMouse: true
            font.pixelSize: 12
            color: Theme.primary
            selectionColor: Theme.alpha(Theme.accent, 0.35)
            selectedTextColor: Theme.primary
        }
        FlowLayout {
            visible: root.model.extractedText !== ""
            Layout.fillWidth: true
            spacing: 6
            AppButton {
                title: "Copy Extracted Text"
                iconName: "doc.on.doc"
                size: "sm"
                onClicked: root.model.copyExtractedText()
            }
            AppButton {
                title: "Paste Text (↩)"
                iconName: "arrow.right.doc.on.clipboard"
                size: "sm"
                onClicked: root.model.pasteExtractedText()
            }
        }
        AppButton {
            visible: root.model.extractedText === ""
            title: root.model.isExtractingOCR ? "Recognizing..." : "Extract Text"
            iconName: "text.viewfinder"
            size: "sm"
            isLoading: root.model.isExtractingOCR
            onClicked: root.model.extractText()
        }
    }

    // Tags.
    ColumnLayout {
        Layout.fillWidth: true
        spacing: 8
        Caption { text: "Tags & Collections" }
        FlowLayout {
            Layout.fillWidth: true
            spacing: 6
            Repeater {
                model: root.model.tags
                delegate: Rectangle {
                    id: chip
                    required property string modelData
                    implicitWidth: chipRow.implicitWidth + 14
                    implicitHeight: 24
                    radius: height / 2
                    color: Theme.alpha(Theme.accent, 0.12)
                    Row {
                        id: chipRow
                        anchors.verticalCenter: parent.verticalCenter
                        x: 8
                        spacing: 2
                        Label {
                            anchors.verticalCenter: parent.verticalCenter
                            text: "#" + chip.modelData
                            font.pixelSize: 11
                            font.weight: Font.Medium
                            color: Theme.accent
                        }
                        AppButton {
                            anchors.verticalCenter: parent.verticalCenter
                            iconName: "xmark"
                            size: "iconXs"
                            variant: "ghost"
                            helpText: "Remove tag #" + chip.modelData
                            onClicked: root.model.removeTag(chip.modelData)
                        }
                    }
                }
            }
            TextField {
                id: newTag
                implicitWidth: Math.max(80, contentWidth + leftPadding + rightPadding + 4)
                implicitHeight: 24
                leftPadding: 8
                rightPadding: 8
                topPadding: 2
                bottomPadding: 2
                placeholderText: "New Tag..."
                placeholderTextColor: Theme.alpha(Theme.secondary, 0.8)
                font.pixelSize: 11
                color: Theme.primary
                text: root.model.newTagText
                onTextEdited: root.model.newTagText = text
                onAccepted: root.model.submitNewTag()
                Accessible.name: "New tag name"
                Accessible.description: "Type tag name and press Enter to add tag to this clip"
                background: Rectangle {
                    radius: 12
                    color: Theme.alpha(Theme.primary, 0.05)
                    border.width: 1
                    border.color: newTag.activeFocus ? Theme.alpha(Theme.accent, 0.6) : Theme.alpha(Theme.primary, 0.1)
                }
            }
        }
    }

    // Transforms.
    ColumnLayout {
        visible: root.model.hasText
        Layout.fillWidth: true
        spacing: 8
        Caption { text: "Transform & Copy" }
        FlowLayout {
            Layout.fillWidth: true
            spacing: 6
            Repeater {
                model: root.model.transformModes
                delegate: AppButton {
                    required property var modelData
                    required property int index
                    title: modelData.label
                    iconName: modelData.icon
                    size: "xs"
                    onClicked: root.model.transform(index)
                }
            }
        }
    }
}
