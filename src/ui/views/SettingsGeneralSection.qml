// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// Tray, history limits, behaviour, updates and appearance.
ColumnLayout {
    id: root

    required property var settings

    spacing: 18

    SettingsCard {
        title: "Tray"

        SettingsRow {
            label: "Recent Items"
            subtitle: "Items loaded in the tray popover. Scrolls after 8 rows."
            SettingsPicker {
                objectName: "recentItemsPicker"
                Accessible.name: "Recent Items"
                model: root.settings.recentItemsOptions
                value: root.settings.menuBarPopoverItemCount
                onChosen: (value) => root.settings.menuBarPopoverItemCount = value
            }
        }
    }

    SettingsCard {
        title: "History"

        SettingsRow {
            label: "Maximum History Size"
            subtitle: "Limits unpinned clips only; pinned items and snippets are always kept"
            SettingsPicker {
                objectName: "historyLimitPicker"
                Accessible.name: "Maximum History Size"
                model: root.settings.historyLimitOptions
                value: root.settings.maxHistoryLimit
                onChosen: (value) => root.settings.maxHistoryLimit = value
            }
        }
        SettingsRow {
            divided: true
            label: "Auto-Clear History"
            subtitle: "Delete unpinned clips after the selected period"
            SettingsPicker {
                objectName: "autoClearPicker"
                Accessible.name: "Auto-Clear History"
                model: root.settings.autoClearOptions
                value: root.settings.autoClearDays
                onChosen: (value) => root.settings.autoClearDays = value
            }
        }
    }

    SettingsCard {
        title: "Behavior"

        SettingsRow {
            label: "Auto-Paste on Selection"
            subtitle: "Paste into the active app when you select a clip"
            SettingsSwitch {
                objectName: "autoPasteSwitch"
                Accessible.name: "Auto-Paste on Selection"
                checked: root.settings.autoPasteOnSelect
                onToggled: root.settings.autoPasteOnSelect = checked
            }
        }
        SettingsRow {
            divided: true
            label: "Sound Feedback"
            subtitle: "Play audio on copy, pin, and delete"
            SettingsSwitch {
                objectName: "soundFeedbackSwitch"
                Accessible.name: "Sound Feedback"
                checked: root.settings.playSounds
                onToggled: root.settings.playSounds = checked
            }
        }
        SettingsRow {
            divided: true
            label: "Instant OCR on Images"
            subtitle: "Extract and index text from screenshots"
            SettingsSwitch {
                objectName: "instantOcrSwitch"
                Accessible.name: "Instant OCR on Images"
                checked: root.settings.autoExtractOCR
                onToggled: root.settings.autoExtractOCR = checked
            }
        }
    }

    SettingsCard {
        title: "Updates"

        SettingsRow {
            label: root.settings.versionText
            subtitle: "Download newer builds when a new release is published."
            AppButton {
                objectName: "checkUpdatesButton"
                title: "Check for Updates"
                size: "sm"
                onClicked: root.settings.checkForUpdates()
                SettingsFocusRing {}
            }
        }
    }

    SettingsCard {
        title: "Appearance"

        SettingsRow {
            label: "List Density"
            subtitle: "Control spacing in the clips list"
            SettingsPicker {
                objectName: "listDensityPicker"
                Accessible.name: "List Density"
                model: root.settings.listDensityOptions
                value: root.settings.listDensity
                onChosen: (value) => root.settings.listDensity = value
            }
        }
        SettingsRow {
            divided: true
            label: "Max Visible Category Tabs"
            subtitle: "Extra tabs appear in the overflow menu"
            SettingsPicker {
                objectName: "maxVisibleTabsPicker"
                Accessible.name: "Max Visible Category Tabs"
                model: root.settings.maxVisibleTabsOptions
                value: root.settings.maxVisibleTabs
                onChosen: (value) => root.settings.maxVisibleTabs = value
            }
        }
    }
}
