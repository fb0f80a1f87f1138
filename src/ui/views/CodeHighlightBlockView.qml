// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// A code clip as a small dark editor: a header with the language, the size and a copy button, then
// numbered, coloured lines. The lines arrive formatted, in pieces (ClipDetailModel.codePieces) of
// which only those on screen are laid out; dark in light and dark mode alike, as editors are.
Rectangle {
    id: root

    // [{html, lineNumbers}], a few dozen lines each.
    property var pieces: []
    property int shownLines: 1
    property string language: ""
    property string headerText: ""
    property string truncationText: ""
    property bool copied: false
    property bool showHeader: true

    signal copyClicked()

    readonly property color codeFontColor: Qt.rgba(0.9, 0.92, 0.96, 1)
    readonly property int codePixelSize: 12

    implicitHeight: (showHeader ? headerBar.height + 1 : 0) + Math.max(lines.contentHeight, lineMetrics.lineSpacing) + 24
                    + (truncationText !== "" ? truncation.implicitHeight + 8 : 0)
    radius: 10
    color: Qt.rgba(0.08, 0.09, 0.13, 1)
    border.width: 1
    border.color: Qt.rgba(1, 1, 1, 0.12)
    clip: true

    Rectangle {
        id: headerBar
        visible: root.showHeader
        x: 1
        y: 1
        width: parent.width - 2
        height: visible ? 30 : 0
        radius: root.radius - 1
        color: Qt.rgba(0.05, 0.06, 0.09, 1)
        // Square lower corners under the rounded top.
        Rectangle {
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            height: parent.radius
            color: parent.color
        }
        RowLayout {
            anchors.fill: parent
            anchors.leftMargin: 12
            anchors.rightMargin: 12
            spacing: 8
            Row {
                spacing: 5
                Repeater {
                    model: 3
                    Rectangle { width: 8; height: 8; radius: 4; color: Qt.rgba(1, 1, 1, 0.22) }
                }
            }
            Rectangle {
                implicitWidth: languageLabel.implicitWidth + 12
                implicitHeight: languageLabel.implicitHeight + 4
                radius: height / 2
                color: Theme.alpha(Theme.blue, 0.12)
                Label {
                    id: languageLabel
                    anchors.centerIn: parent
                    text: root.language !== "" ? root.language.toUpperCase() : "CODE"
                    font.pixelSize: 10
                    font.bold: true
                    color: Qt.rgba(0.4, 0.7, 1.0, 1)
                }
            }
            Label {
                Layout.fillWidth: true
                text: root.headerText
                elide: Text.ElideRight
                font.pixelSize: 10
                color: Qt.rgba(1, 1, 1, 0.45)
            }
            Item {
                implicitWidth: copyRow.implicitWidth
                implicitHeight: copyRow.implicitHeight
                Accessible.role: Accessible.Button
                Accessible.name: root.copied ? "Copied" : "Copy"
                Row {
                    id: copyRow
                    spacing: 4
                    opacity: copyArea.containsMouse ? 1 : 0.85
                    SymbolIcon {
                        anchors.verticalCenter: parent.verticalCenter
                        name: root.copied ? "checkmark" : "doc.on.doc"
                        size: 10
                        color: root.copied ? Theme.green : Qt.rgba(1, 1, 1, 0.7)
                    }
                    Label {
                        text: root.copied ? "Copied" : "Copy"
                        font.pixelSize: 10
                        font.weight: Font.Medium
                        color: root.copied ? Theme.green : Qt.rgba(1, 1, 1, 0.7)
                    }
                }
                MouseArea {
                    id: copyArea
                    anchors.fill: parent
                    anchors.margins: -4
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    onClicked: root.copyClicked()
                }
            }
        }
    }
    Rectangle {
        visible: root.showHeader
        y: headerBar.y + headerBar.height
        x: 1
        width: parent.width - 2
        height: 1
        color: Qt.rgba(1, 1, 1, 0.08)
    }

    FontMetrics {
        id: lineMetrics
        font.family: "monospace"
        font.pixelSize: root.codePixelSize
    }
    TextMetrics {
        id: numberMetrics
        font: lineMetrics.font
        text: "9".repeat(String(root.shownLines).length)
    }

    ListView {
        id: lines
        anchors.fill: parent
        anchors.topMargin: (root.showHeader ? headerBar.height + 2 : 0) + 12
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        anchors.bottomMargin: 12 + (root.truncationText !== "" ? truncation.implicitHeight + 8 : 0)
        property real widestPiece: 0
        contentWidth: widestPiece
        flickableDirection: Flickable.AutoFlickDirection
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        model: root.pieces
        ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }
        ScrollBar.horizontal: ScrollBar { policy: ScrollBar.AsNeeded }

        delegate: Row {
            required property var modelData
            spacing: 12
            onImplicitWidthChanged: lines.widestPiece = Math.max(lines.widestPiece, implicitWidth)
            TextEdit {
                width: numberMetrics.advanceWidth
                text: modelData.lineNumbers
                textFormat: TextEdit.PlainText
                readOnly: true
                horizontalAlignment: TextEdit.AlignRight
                font: lineMetrics.font
                color: Qt.rgba(1, 1, 1, 0.28)
                activeFocusOnPress: false
            }
            TextEdit {
                text: modelData.html
                textFormat: TextEdit.RichText
                readOnly: true
                selectByMouse: true
                wrapMode: TextEdit.NoWrap
                font: lineMetrics.font
                color: root.codeFontColor
                selectionColor: Qt.rgba(0.38, 0.68, 1.0, 0.35)
                selectedTextColor: root.codeFontColor
            }
        }
    }

    Label {
        id: truncation
        visible: root.truncationText !== ""
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 12
        text: root.truncationText
        elide: Text.ElideRight
        font.pixelSize: 10
        font.italic: true
        color: Qt.rgba(1, 1, 1, 0.45)
    }
}
