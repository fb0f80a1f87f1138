// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// The snippets tab: the list of snippets, and beside it the selected snippet, the editor of a new
// or existing one, or a placeholder.
Item {
    id: root

    // A SnippetsManagerModel.
    property var model

    // The model honours a pending "New Snippet" request when the tab appears, and forgets the
    // editor when it goes away.
    Binding {
        target: root.model
        property: "shown"
        value: root.visible
        when: root.model !== null && root.model !== undefined
    }

    RowLayout {
        anchors.fill: parent
        spacing: 0

        // The list column.
        ColumnLayout {
            spacing: 0
            Layout.preferredWidth: 280
            Layout.maximumWidth: 280
            Layout.fillHeight: true

            RowLayout {
                spacing: 8
                Layout.fillWidth: true
                Layout.leftMargin: 14
                Layout.rightMargin: 14
                Layout.topMargin: 12
                Layout.bottomMargin: 12

                Label {
                    text: "Quick Templates & Snippets"
                    font.pixelSize: 13
                    font.weight: Font.Medium
                    color: Theme.primary
                    elide: Text.ElideRight
                    Layout.fillWidth: true
                }
                AppButton {
                    title: "New"
                    iconName: "plus"
                    variant: "tinted"
                    size: "xs"
                    helpText: "New snippet"
                    onClicked: root.model.startNew()
                }
            }

            Divider { Layout.fillWidth: true }

            ListView {
                id: list
                Layout.fillWidth: true
                Layout.fillHeight: true
                clip: true
                spacing: 6
                topMargin: 10
                bottomMargin: 10
                leftMargin: 10
                rightMargin: 10
                boundsBehavior: Flickable.StopAtBounds
                model: root.model ? root.model.snippets : []
                ScrollBar.vertical: ScrollBar { }

                delegate: SnippetRow {
                    required property var modelData
                    width: list.width - list.leftMargin - list.rightMargin
                    snippetId: modelData.id
                    title: modelData.title
                    shortcut: modelData.shortcut
                    preview: modelData.preview
                    selected: !!root.model && modelData.id === root.model.selectedId
                }
            }
        }

        Divider {
            vertical: true
            Layout.fillHeight: true
        }

        // The right side.
        Loader {
            Layout.fillWidth: true
            Layout.fillHeight: true
            sourceComponent: {
                switch (root.model ? root.model.rightSide : "placeholder") {
                case "editor":
                    return editorComponent
                case "detail":
                    return detailComponent
                default:
                    return placeholderComponent
                }
            }
        }
    }

    component SnippetRow: Rectangle {
        id: snippetRow

        property string snippetId
        property string title
        property string shortcut
        property string preview
        property bool selected

        implicitHeight: rowContent.implicitHeight + 12
        radius: 8
        color: selected ? Theme.alpha(Theme.primary, 0.12)
                        : Theme.alpha(Theme.primary, rowMouse.containsMouse ? 0.06 : 0.03)

        Accessible.role: Accessible.ListItem
        Accessible.name: title
        Accessible.selected: selected

        RowLayout {
            id: rowContent
            anchors.fill: parent
            anchors.margins: 6
            spacing: 8

            SymbolIcon {
                name: "text.badge.star"
                size: 12
                color: Theme.orange
                Layout.alignment: Qt.AlignTop
                Layout.topMargin: 2
            }
            ColumnLayout {
                spacing: 3
                Layout.fillWidth: true

                // The title takes what it needs; the shortcut badge follows it.
                Item {
                    Layout.fillWidth: true
                    implicitHeight: Math.max(titleLabel.implicitHeight, badge.implicitHeight)

                    Label {
                        id: titleLabel
                        anchors.verticalCenter: parent.verticalCenter
                        width: Math.min(implicitWidth, parent.width - (badge.visible ? badge.width + 6 : 0))
                        text: snippetRow.title
                        font.pixelSize: 12
                        font.weight: Font.DemiBold
                        color: Theme.primary
                        elide: Text.ElideRight
                    }
                    Rectangle {
                        id: badge
                        visible: snippetRow.shortcut.length > 0
                        x: titleLabel.width + 6
                        anchors.verticalCenter: parent.verticalCenter
                        width: Math.min(shortcutLabel.implicitWidth + 8, parent.width / 2)
                        height: shortcutLabel.implicitHeight + 2
                        radius: 4
                        color: Theme.alpha(Theme.orange, 0.15)
                        Label {
                            id: shortcutLabel
                            anchors.fill: parent
                            anchors.leftMargin: 4
                            anchors.rightMargin: 4
                            verticalAlignment: Text.AlignVCenter
                            text: snippetRow.shortcut
                            font.pixelSize: 9
                            color: Theme.orange
                            elide: Text.ElideRight
                        }
                    }
                }
                Label {
                    visible: text.length > 0
                    text: snippetRow.preview
                    font.pixelSize: 10
                    color: Theme.secondary
                    wrapMode: Text.Wrap
                    maximumLineCount: 2
                    elide: Text.ElideRight
                    Layout.fillWidth: true
                }
            }
        }

        MouseArea {
            id: rowMouse
            anchors.fill: parent
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onClicked: root.model.select(snippetRow.snippetId)
        }
    }

    component EditorField: TextField {
        color: Theme.primary
        placeholderTextColor: Theme.alpha(Theme.secondary, 0.8)
        selectionColor: Theme.alpha(Theme.accent, 0.35)
        selectedTextColor: Theme.primary
        leftPadding: 8
        rightPadding: 8
        topPadding: 6
        bottomPadding: 6
        background: Rectangle {
            radius: 6
            color: Theme.textBackground
            border.width: 1
            border.color: parent.activeFocus ? Theme.alpha(Theme.accent, 0.7) : Theme.alpha(Theme.primary, 0.12)
        }
    }

    Component {
        id: placeholderComponent

        Item {
            ColumnLayout {
                anchors.centerIn: parent
                spacing: 10

                SymbolIcon {
                    name: "text.badge.star"
                    size: 32
                    color: Theme.alpha(Theme.secondary, 0.5)
                    Layout.alignment: Qt.AlignHCenter
                }
                Label {
                    text: "Select or create a snippet"
                    font.pixelSize: 13
                    color: Theme.secondary
                    Layout.alignment: Qt.AlignHCenter
                }
            }
        }
    }

    Component {
        id: detailComponent

        ColumnLayout {
            spacing: 12

            RowLayout {
                spacing: 10
                Layout.fillWidth: true
                Layout.leftMargin: 16
                Layout.rightMargin: 16
                Layout.topMargin: 14

                ColumnLayout {
                    spacing: 3
                    Layout.fillWidth: true

                    Label {
                        text: root.model.selectedTitle
                        font.pixelSize: 15
                        font.bold: true
                        color: Theme.primary
                        elide: Text.ElideRight
                        Layout.fillWidth: true
                    }
                    Label {
                        visible: root.model.selectedShortcut.length > 0
                        text: "Shortcut: " + root.model.selectedShortcut
                        font.pixelSize: 11
                        color: Theme.secondary
                    }
                }
                AppButton {
                    title: "Edit"
                    iconName: "pencil"
                    variant: "secondary"
                    size: "sm"
                    onClicked: root.model.edit()
                }
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.fillHeight: true
                Layout.leftMargin: 16
                Layout.rightMargin: 16
                radius: 8
                color: Theme.alpha(Theme.primary, 0.04)
                border.width: 1
                border.color: Theme.alpha(Theme.primary, 0.08)

                ScrollView {
                    anchors.fill: parent
                    anchors.margins: 1
                    clip: true

                    TextArea {
                        text: root.model.selectedContent
                        readOnly: true
                        selectByMouse: true
                        wrapMode: TextEdit.Wrap
                        font.pixelSize: 12
                        color: Theme.primary
                        selectionColor: Theme.alpha(Theme.accent, 0.35)
                        selectedTextColor: Theme.primary
                        padding: 10
                        background: null
                    }
                }
            }

            RowLayout {
                spacing: 8
                Layout.fillWidth: true
                Layout.leftMargin: 16
                Layout.rightMargin: 16
                Layout.bottomMargin: 14

                AppButton {
                    title: "Delete"
                    iconName: "trash"
                    variant: "destructive"
                    size: "sm"
                    onClicked: root.model.deleteSelected()
                }
                Item { Layout.fillWidth: true }
                AppButton {
                    title: "Copy"
                    iconName: "doc.on.doc"
                    variant: "secondary"
                    size: "sm"
                    onClicked: root.model.copySelected()
                }
                AppButton {
                    title: "Paste (\u21a9)"
                    iconName: "arrow.right.doc.on.clipboard"
                    variant: "primary"
                    size: "sm"
                    onClicked: root.model.pasteSelected()
                }
            }
        }
    }

    Component {
        id: editorComponent

        ColumnLayout {
            spacing: 10

            Component.onCompleted: titleField.forceActiveFocus()

            Label {
                text: root.model.isCreating ? "New Snippet" : "Edit Snippet"
                font.pixelSize: 14
                font.bold: true
                color: Theme.primary
                Layout.leftMargin: 16
                Layout.topMargin: 14
            }

            EditorField {
                id: titleField
                objectName: "snippetTitleField"
                placeholderText: "Title (e.g. Standup Update)"
                font.pixelSize: 12
                text: root.model.title
                onTextEdited: root.model.title = text
                Layout.fillWidth: true
                Layout.leftMargin: 16
                Layout.rightMargin: 16
            }
            EditorField {
                placeholderText: "Shortcut (e.g. ;standup)"
                font.pixelSize: 12
                font.family: "monospace"
                text: root.model.shortcut
                onTextEdited: root.model.shortcut = text
                Layout.fillWidth: true
                Layout.leftMargin: 16
                Layout.rightMargin: 16
            }
            EditorField {
                placeholderText: "Tags (comma separated, e.g. Work, Daily)"
                font.pixelSize: 11
                text: root.model.tagsString
                onTextEdited: root.model.tagsString = text
                Layout.fillWidth: true
                Layout.leftMargin: 16
                Layout.rightMargin: 16
            }

            Label {
                text: "Snippet text:"
                font.pixelSize: 11
                color: Theme.secondary
                Layout.leftMargin: 16
                Layout.topMargin: 2
            }
            Rectangle {
                Layout.fillWidth: true
                Layout.fillHeight: true
                Layout.minimumHeight: 140
                Layout.leftMargin: 16
                Layout.rightMargin: 16
                radius: 8
                color: Theme.alpha(Theme.primary, 0.04)
                border.width: 1
                border.color: contentArea.activeFocus ? Theme.alpha(Theme.accent, 0.7) : Theme.alpha(Theme.primary, 0.1)

                ScrollView {
                    anchors.fill: parent
                    anchors.margins: 1
                    clip: true

                    TextArea {
                        id: contentArea
                        objectName: "snippetContentArea"
                        text: root.model.content
                        onTextChanged: if (text !== root.model.content) root.model.content = text
                        wrapMode: TextEdit.Wrap
                        font.pixelSize: 12
                        color: Theme.primary
                        selectionColor: Theme.alpha(Theme.accent, 0.35)
                        selectedTextColor: Theme.primary
                        padding: 10
                        background: null
                        Accessible.name: "Snippet text"
                    }
                }
            }

            RowLayout {
                spacing: 8
                Layout.fillWidth: true
                Layout.leftMargin: 16
                Layout.rightMargin: 16
                Layout.bottomMargin: 14

                Item { Layout.fillWidth: true }
                AppButton {
                    title: "Cancel"
                    variant: "ghost"
                    size: "sm"
                    onClicked: root.model.cancel()
                }
                AppButton {
                    title: "Save Snippet"
                    variant: "primary"
                    size: "sm"
                    isDisabled: !root.model.canSave
                    onClicked: root.model.save()
                }
            }
        }
    }
}
