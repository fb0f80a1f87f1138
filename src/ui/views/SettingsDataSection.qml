// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// Export and clearing of the history, and where it is kept.
ColumnLayout {
    id: root

    required property var settings

    spacing: 18

    SettingsCard {
        title: "Export & Backup"

        ColumnLayout {
            Layout.fillWidth: true
            Layout.margins: 14
            spacing: 10

            Flow {
                Layout.fillWidth: true
                spacing: 8

                AppButton {
                    objectName: "exportJsonButton"
                    title: "Export JSON"
                    size: "sm"
                    onClicked: root.settings.exportJson()
                    SettingsFocusRing {}
                }
                AppButton {
                    objectName: "exportMarkdownButton"
                    title: "Export Markdown"
                    size: "sm"
                    onClicked: root.settings.exportMarkdown()
                    SettingsFocusRing {}
                }
                AppButton {
                    objectName: "clearHistoryButton"
                    title: "Clear History"
                    variant: "destructive"
                    size: "sm"
                    onClicked: root.settings.clearHistory()
                    SettingsFocusRing {}
                }
            }
            Label {
                objectName: "exportStatus"
                Layout.fillWidth: true
                visible: text !== ""
                text: root.settings.exportStatus
                font.pixelSize: 11
                color: root.settings.exportFailed ? Theme.red : Theme.green
                wrapMode: Text.Wrap
                Accessible.role: Accessible.StaticText
            }
            Label {
                objectName: "storageNote"
                Layout.fillWidth: true
                text: root.settings.storageNote
                font.pixelSize: 11
                color: Theme.secondary
                wrapMode: Text.WrapAtWordBoundaryOrAnywhere
            }
        }
    }
}
