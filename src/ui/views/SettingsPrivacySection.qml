// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// The applications whose copies are never recorded: the list, a field to add one by its
// identifier, and a menu of the applications that have windows open now.
ColumnLayout {
    id: root

    required property var settings

    spacing: 18

    function addTypedId() {
        if (root.settings.addExcluded(excludedField.text))
            excludedField.clear()
    }

    SettingsCard {
        title: "Excluded Applications"

        Label {
            Layout.fillWidth: true
            Layout.margins: 14
            Layout.bottomMargin: 10
            text: "Clips from these apps are never stored."
            font.pixelSize: 11
            color: Theme.secondary
            wrapMode: Text.Wrap
        }

        Repeater {
            model: root.settings.excludedApplications

            SettingsRow {
                id: excludedRow
                required property string modelData

                objectName: "excludedRow_" + modelData
                divided: true
                label: modelData
                implicitHeight: 34
                AppButton {
                    objectName: "removeExcludedButton"
                    iconName: "minus.circle.fill"
                    variant: "ghost"
                    size: "iconSm"
                    capsule: true
                    helpText: "Remove"
                    Accessible.name: "Remove " + excludedRow.modelData
                    onClicked: root.settings.removeExcluded(excludedRow.modelData)
                    SettingsFocusRing { cornerRadius: 12 }
                }
            }
        }

        Divider { Layout.fillWidth: true }

        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 12
            spacing: 8

            TextField {
                id: excludedField
                objectName: "excludedField"
                Layout.fillWidth: true
                placeholderText: "e.g. org.example.app"
                Accessible.name: "Application identifier"
                font.pixelSize: 12
                color: Theme.primary
                placeholderTextColor: Theme.alpha(Theme.secondary, 0.8)
                selectionColor: Theme.alpha(Theme.accent, 0.35)
                selectedTextColor: Theme.primary
                selectByMouse: true
                leftPadding: 8
                rightPadding: 8
                topPadding: 5
                bottomPadding: 5
                onAccepted: root.addTypedId()
                background: Rectangle {
                    radius: 6
                    color: Theme.textBackground
                    border.width: 1
                    border.color: excludedField.activeFocus ? Theme.alpha(Theme.accent, 0.8)
                                                            : Theme.alpha(Theme.primary, 0.16)
                }
            }
            AppButton {
                objectName: "addExcludedButton"
                title: "Add"
                variant: "primary"
                size: "sm"
                isDisabled: !root.settings.canAddExcluded(excludedField.text)
                onClicked: root.addTypedId()
                SettingsFocusRing {}
            }
            AppButton {
                id: runningButton
                objectName: "addRunningAppButton"
                title: "Add Running Application"
                trailingIconName: "chevron.down"
                size: "sm"
                onClicked: runningMenu.openWith(root.settings.runningApplications())
                SettingsFocusRing {}

                SettingsRunningAppsMenu {
                    id: runningMenu
                    x: runningButton.width - width
                    y: runningButton.height + 3
                    onChosen: (id) => root.settings.addExcluded(id)
                }
            }
        }
    }
}
