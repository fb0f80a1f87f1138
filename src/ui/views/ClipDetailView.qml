// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// The selected clip in full: header, its content by type, recognised text, tags, transforms and the
// footer actions, with a transient confirmation badge on top. Every value and action comes from the
// ClipDetailModel.
Item {
    id: root

    required property var model

    component Caption: Label {
        font.pixelSize: 11
        font.weight: Font.DemiBold
        color: Theme.secondary
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        // Header: type pill, source application, date.
        Rectangle {
            Layout.fillWidth: true
            implicitHeight: header.implicitHeight + 20
            color: Theme.alpha(Theme.primary, 0.03)
            RowLayout {
                id: header
                anchors.fill: parent
                anchors.leftMargin: 16
                anchors.rightMargin: 16
                spacing: 6
                Rectangle {
                    id: pillBox
                    implicitWidth: pill.implicitWidth + 14
                    implicitHeight: pill.implicitHeight + 5
                    radius: 6
                    color: Theme.alpha(Theme.accent, 0.12)
                    Row {
                        id: pill
                        anchors.centerIn: parent
                        spacing: 4
                        SymbolIcon {
                            anchors.verticalCenter: parent.verticalCenter
                            name: root.model.typeIcon
                            size: 11
                            color: Theme.accent
                        }
                        Label {
                            text: root.model.typeName
                            font.pixelSize: 11
                            font.bold: true
                            color: Theme.accent
                        }
                    }
                }
                Label {
                    id: sourceLabel
                    visible: root.model.sourceApp !== ""
                    // Takes what the date leaves, so that the date is never cut.
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    elide: Text.ElideRight
                    text: "• " + root.model.sourceApp
                    font.pixelSize: 11
                    color: Theme.secondary
                }
                Item { visible: !sourceLabel.visible; Layout.fillWidth: true }
                Label {
                    id: dateLabel
                    text: root.model.dateText
                    font.pixelSize: 11
                    color: Theme.secondary
                }
            }
        }

        Divider { Layout.fillWidth: true }

        // The text of a text clip is a list of pieces, so only those on screen are laid out; the
        // other content sits in the list's header and footer.
        ListView {
            id: body
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            model: root.model.textPieces
            ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

            // Another clip starts at its top.
            readonly property string shownClip: root.model.clipId
            onShownClipChanged: Qt.callLater(() => body.contentY = body.originY)

            header: Item {
                width: body.width
                height: textHeader.visible ? textHeader.implicitHeight + 22 : 16
                RowLayout {
                    id: textHeader
                    visible: root.model.isText
                    x: 16
                    y: 16
                    spacing: 8
                    Caption { text: "Text Content" }
                    Label {
                        text: root.model.countsText
                        font.pixelSize: 10
                        color: Theme.alpha(Theme.secondary, 0.8)
                    }
                }
            }

            delegate: TextEdit {
                required property string modelData
                x: 16
                width: body.width - 32
                text: modelData
                textFormat: TextEdit.PlainText
                wrapMode: TextEdit.Wrap
                readOnly: true
                selectByMouse: true
                font.pixelSize: 12
                color: Theme.primary
                selectionColor: Theme.alpha(Theme.accent, 0.35)
                selectedTextColor: Theme.primary
            }

            footer: Item {
                width: body.width
                // Below the text: the truncation line close to it, the sections at the stack's spacing.
                readonly property real gap: !root.model.isText ? 0 : root.model.isTruncated ? 6 : 14
                height: content.implicitHeight + gap + 16
                ColumnLayout {
                    id: content
                    x: 16
                    y: parent.gap
                    width: body.width - 32
                    spacing: 14

                    Label {
                        visible: root.model.isTruncated
                        Layout.fillWidth: true
                        wrapMode: Text.WordWrap
                        text: root.model.truncationText
                        font.pixelSize: 11
                        font.italic: true
                        color: Theme.secondary
                    }

                    // Code.
                    CodeHighlightBlockView {
                        visible: root.model.isCode
                        Layout.fillWidth: true
                        Layout.preferredHeight: Math.max(140, Math.min(340, implicitHeight))
                        pieces: root.model.codePieces
                        shownLines: root.model.codeShownLines
                        language: root.model.language
                        headerText: root.model.codeHeaderText
                        truncationText: root.model.codeTruncationText
                        copied: root.model.codeCopied
                        onCopyClicked: root.model.copyCode()
                    }

                    // Link.
                    Rectangle {
                        visible: root.model.isLink
                        Layout.fillWidth: true
                        implicitHeight: link.implicitHeight + 24
                        radius: 10
                        color: Theme.alpha(Theme.primary, 0.08)
                        ColumnLayout {
                            id: link
                            anchors.fill: parent
                            anchors.margins: 12
                            spacing: 8
                            Caption { text: "Website" }
                            TextEdit {
                                Layout.fillWidth: true
                                text: root.model.url
                                wrapMode: TextEdit.WrapAnywhere
                                readOnly: true
                                selectByMouse: true
                                font.pixelSize: 12
                                color: Theme.accent
                                selectionColor: Theme.alpha(Theme.accent, 0.35)
                            }
                            AppButton {
                                title: "Open"
                                iconName: "arrow.up.right.square"
                                size: "sm"
                                onClicked: root.model.openLink()
                            }
                        }
                    }

                    // Image: the picture (or its placeholder), its size and the share and save buttons.
                    ColumnLayout {
                        visible: root.model.isImage && root.model.imageFileName !== ""
                        Layout.fillWidth: true
                        spacing: 8
                        Rectangle {
                            visible: !root.model.hasDetailImage
                            Layout.fillWidth: true
                            implicitHeight: 140
                            radius: 8
                            color: Theme.alpha(Theme.primary, 0.04)
                            Spinner {
                                anchors.centerIn: parent
                                visible: !root.model.imageMissing
                                scale: 0.8
                            }
                            Column {
                                anchors.centerIn: parent
                                visible: root.model.imageMissing
                                spacing: 6
                                SymbolIcon {
                                    anchors.horizontalCenter: parent.horizontalCenter
                                    name: "photo.fill"
                                    size: 24
                                    color: Theme.alpha(Theme.secondary, 0.5)
                                }
                                Label {
                                    text: "Image file missing"
                                    font.pixelSize: 11
                                    color: Theme.secondary
                                }
                            }
                        }
                        Item {
                            id: picture
                            visible: root.model.hasDetailImage
                            readonly property real aspect: canvas.sourceHeight > 0
                                                           ? canvas.sourceWidth / canvas.sourceHeight : 1
                            Layout.preferredWidth: Math.min(parent.width, 180 * aspect)
                            Layout.preferredHeight: Layout.preferredWidth / aspect
                            ImageCanvas {
                                id: canvas
                                anchors.fill: parent
                                image: root.model.detailImage
                                radius: 8
                            }
                            Rectangle {
                                anchors.fill: parent
                                radius: 8
                                color: "transparent"
                                border.width: 1
                                border.color: Theme.alpha(Theme.primary, 0.1)
                            }
                        }
                        RowLayout {
                            Layout.fillWidth: true
                            spacing: 6
                            Label {
                                visible: text !== ""
                                text: root.model.imageSizeText
                                font.pixelSize: 11
                                font.weight: Font.Medium
                                color: Theme.secondary
                                maximumLineCount: 1
                            }
                            Item { Layout.fillWidth: true }
                            AppButton {
                                title: "QR Code"
                                iconName: "qrcode.viewfinder"
                                variant: "tinted"
                                tint: Theme.accent
                                size: "sm"
                                helpText: "Share to phone via QR"
                                onClicked: root.model.presentQR()
                            }
                            AppButton {
                                visible: root.model.hasDetailImage
                                title: "Save"
                                iconName: "square.and.arrow.down"
                                size: "sm"
                                onClicked: root.model.saveImage()
                            }
                        }
                    }

                    // Files. A plain column: it places rows made while the section was hidden too.
                    Column {
                        visible: root.model.isFiles
                        Layout.fillWidth: true
                        spacing: 6
                        Caption { text: root.model.filesCaption }
                        Repeater {
                            model: root.model.isFiles ? root.model.filePaths : []
                            delegate: Rectangle {
                                required property string modelData
                                width: parent.width
                                height: fileRow.implicitHeight + 12
                                radius: 6
                                color: Theme.alpha(Theme.primary, 0.04)
                                RowLayout {
                                    id: fileRow
                                    anchors.fill: parent
                                    anchors.leftMargin: 8
                                    anchors.rightMargin: 6
                                    spacing: 6
                                    SymbolIcon { name: "doc.text"; size: 12; color: Theme.secondary }
                                    Label {
                                        Layout.fillWidth: true
                                        Layout.preferredWidth: 1
                                        text: modelData
                                        elide: Text.ElideMiddle
                                        font.pixelSize: 11
                                        color: Theme.primary
                                    }
                                    AppButton {
                                        title: "Reveal"
                                        size: "xs"
                                        variant: "ghost"
                                        helpText: "Show in File Manager"
                                        onClicked: root.model.showInFileManager(modelData)
                                    }
                                }
                            }
                        }
                    }

                    ClipDetailSections {
                        Layout.fillWidth: true
                        model: root.model
                    }
                }
            }
        }

        Divider { Layout.fillWidth: true }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: footer.implicitHeight + 20
            color: Theme.alpha(Theme.primary, 0.02)
            DetailFooter {
                id: footer
                anchors.fill: parent
                anchors.leftMargin: 16
                anchors.rightMargin: 16
                anchors.topMargin: 10
                anchors.bottomMargin: 10
                isPinned: root.model.isPinned
                onPaste: root.model.paste()
                onCopy: root.model.copy()
                onTogglePin: root.model.togglePin()
                onShowQR: root.model.presentQR()
                onDeleteClip: root.model.deleteClip()
            }
        }
    }

    FeedbackBadge {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 8
        text: root.model.feedback
        visible: text !== ""
        z: 10
    }
}
