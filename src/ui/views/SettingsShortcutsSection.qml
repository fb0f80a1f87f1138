// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// The global hotkey, login start, keyboard access for pasting and snippets, and the shortcut table.
ColumnLayout {
    id: root

    required property var settings
    required property var cheatsheet

    spacing: 18

    SettingsCard {
        title: "Global Hotkey"

        SettingsRow {
            label: "Launch at Login"
            subtitle: "Start Vexilo in the background on startup"
            SettingsSwitch {
                objectName: "launchAtLoginSwitch"
                Accessible.name: "Launch at Login"
                checked: root.settings.launchAtLogin
                onToggled: root.settings.launchAtLogin = checked
            }
        }
        SettingsRow {
            divided: true
            label: "Summon Vexilo"
            subtitle: "Works from any application"
            SettingsPicker {
                objectName: "hotkeyPicker"
                Accessible.name: "Summon Vexilo"
                model: root.settings.hotkeyOptions
                value: root.settings.currentHotkey
                onChosen: (value) => root.settings.currentHotkey = value
            }
        }
        RowLayout {
            objectName: "hotkeyProblem"
            visible: root.settings.hotkeyProblem !== ""
            Layout.fillWidth: true
            Layout.leftMargin: 14
            Layout.rightMargin: 14
            Layout.bottomMargin: 10
            spacing: 6

            SymbolIcon {
                name: "exclamationmark.triangle.fill"
                size: 11
                color: Theme.orange
                Layout.alignment: Qt.AlignTop
            }
            Label {
                Layout.fillWidth: true
                text: root.settings.hotkeyProblem
                font.pixelSize: 11
                color: Theme.orange
                wrapMode: Text.Wrap
            }
        }
    }

    SettingsCard {
        title: "Keyboard Access"

        SettingsRow {
            objectName: "keyboardAccessRow"
            label: root.settings.keyboardAccessStatus
            subtitle: root.settings.keyboardAccessDetail
            SymbolIcon {
                visible: root.settings.keyboardAccessGranted
                name: "checkmark.circle.fill"
                size: 14
                color: Theme.green
            }
            AppButton {
                objectName: "openKeyboardAccessButton"
                visible: !root.settings.keyboardAccessGranted && root.settings.keyboardAccessStatus === "Permission required"
                title: "Open Settings"
                size: "sm"
                onClicked: root.settings.openKeyboardAccessHelp()
                SettingsFocusRing {}
            }
        }
        SettingsRow {
            divided: true
            label: "Expand Snippet Shortcuts"
            subtitle: root.settings.snippetExpansionNote
            SettingsSwitch {
                objectName: "snippetExpansionSwitch"
                Accessible.name: "Expand Snippet Shortcuts"
                checked: root.settings.snippetExpansionEnabled
                enabled: root.settings.snippetExpansionAvailable
                onToggled: root.settings.snippetExpansionEnabled = checked
            }
        }
    }

    SettingsCard {
        title: "Keyboard Shortcuts"

        ShortcutsCheatsheetView {
            objectName: "shortcutsCheatsheet"
            cheatsheet: root.cheatsheet
            Layout.fillWidth: true
            Layout.margins: 14
        }
    }
}
