// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vexilo

// The first-run card shown over the HUD: where the history lives, how to summon it, and whether
// pasting into other applications works.
Item {
    id: root

    // An OnboardingModel.
    property var model

    signal completed

    readonly property real cornerRadius: 14

    implicitWidth: 360
    implicitHeight: column.implicitHeight + 40

    // The permission is read each time the card appears, not watched while it is up.
    onVisibleChanged: if (visible && model) model.refresh()
    Component.onCompleted: if (visible && model) model.refresh()

    // Soft shadow: two offset layers fading out below the card.
    Rectangle {
        anchors.fill: parent
        anchors.margins: -2
        anchors.topMargin: 4
        anchors.bottomMargin: -10
        radius: root.cornerRadius + 4
        color: Qt.rgba(0, 0, 0, 0.08)
    }
    Rectangle {
        anchors.fill: parent
        anchors.topMargin: 2
        anchors.bottomMargin: -4
        radius: root.cornerRadius + 1
        color: Qt.rgba(0, 0, 0, 0.14)
    }
    Rectangle {
        anchors.fill: parent
        radius: root.cornerRadius
        color: Theme.windowBackground
        border.width: 1
        border.color: Theme.alpha(Theme.primary, 0.08)
    }
    // Clicks on the card stay on the card.
    MouseArea { anchors.fill: parent }

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.margins: 20
        spacing: 16

        AppLogoView {
            size: 56
            cornerRadius: 14
            Layout.alignment: Qt.AlignHCenter
        }

        Label {
            text: "Welcome to Vexilo"
            font.pixelSize: 18
            font.bold: true
            color: Theme.primary
            Layout.alignment: Qt.AlignHCenter
        }

        Label {
            text: "Your clipboard history lives in the system tray. Summon it anytime with your global hotkey."
            font.pixelSize: 13
            color: Theme.secondary
            wrapMode: Text.WordWrap
            horizontalAlignment: Text.AlignHCenter
            Layout.fillWidth: true
        }

        ColumnLayout {
            spacing: 8
            Layout.fillWidth: true

            FeatureRow {
                icon: root.model && !root.model.hotkeyRegistered ? "exclamationmark.triangle.fill" : "command"
                iconColor: root.model && !root.model.hotkeyRegistered ? Theme.orange : Theme.accent
                title: "Global Hotkey"
                detail: root.model ? root.model.hotkeyDetail : ""
            }
            FeatureRow {
                icon: "menubar.rectangle"
                iconColor: Theme.accent
                title: "Tray App"
                detail: "Vexilo runs quietly in the system tray"
            }
            FeatureRow {
                readonly property bool trusted: root.model ? root.model.hasAccessibility : false
                icon: trusted ? "checkmark.circle.fill" : "exclamationmark.triangle.fill"
                iconColor: trusted ? Theme.green : Theme.orange
                title: "Accessibility"
                detail: root.model ? root.model.accessibilityDetail : ""
            }
        }

        RowLayout {
            spacing: 10
            Layout.alignment: Qt.AlignHCenter

            AppButton {
                visible: root.model ? root.model.canRequestAccessibility : false
                title: "Enable Accessibility"
                variant: "secondary"
                onClicked: root.model.requestAccess()
            }
            AppButton {
                title: "Get Started"
                variant: "primary"
                onClicked: root.completed()
            }
        }
    }

    component FeatureRow: Rectangle {
        id: featureRow

        property string icon
        property color iconColor
        property string title
        property string detail

        Layout.fillWidth: true
        implicitHeight: rowLayout.implicitHeight + 20
        radius: 8
        color: Theme.alpha(Theme.primary, 0.04)

        RowLayout {
            id: rowLayout
            anchors.fill: parent
            anchors.margins: 10
            spacing: 12

            SymbolIcon {
                name: featureRow.icon
                size: 18
                color: featureRow.iconColor
                Layout.alignment: Qt.AlignVCenter
                Layout.preferredWidth: 22
            }
            ColumnLayout {
                spacing: 2
                Layout.fillWidth: true

                Label {
                    text: featureRow.title
                    font.pixelSize: 12
                    font.weight: Font.DemiBold
                    color: Theme.primary
                }
                Label {
                    text: featureRow.detail
                    font.pixelSize: 11
                    color: Theme.secondary
                    wrapMode: Text.WordWrap
                    Layout.fillWidth: true
                }
            }
        }
    }
}
