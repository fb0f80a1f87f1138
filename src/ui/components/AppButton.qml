// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import Vexilo

// The button of every window: a title and/or icons in one of seven variants and eight sizes.
// Loading or disabled buttons are dimmed and do not fire `clicked`.
AbstractButton {
    id: root

    property string title: ""
    property string iconName: ""
    property string trailingIconName: ""
    // "tinted" "default" "primary" "secondary" "destructive" "outline" "ghost"
    property string variant: "default"
    property color tint: Theme.accent
    // "xs" "sm" "md" "lg" (text) and "iconXs" "iconSm" "icon" "iconLg" (square)
    property string size: "md"
    property bool capsule: false
    property real radius: 8
    property bool isLoading: false
    property bool isDisabled: false
    property string helpText: ""
    property bool selected: false
    // Caller content that replaces the title.
    property Component customLabel: null
    // The title font; the size's title size and the variant's weight unless a view sets them.
    property real titlePixelSize: metrics.title
    property int titleWeight: variant === "primary" || variant === "destructive" ? Font.DemiBold : Font.Medium

    readonly property var metrics: {
        const table = {
            xs: { square: 0, padH: 7, padV: 3, icon: 9, title: 10, spinner: 0.5, spacing: 4 },
            sm: { square: 0, padH: 10, padV: 4, icon: 10, title: 11, spinner: 0.6, spacing: 5 },
            md: { square: 0, padH: 13, padV: 5.5, icon: 11.5, title: 12, spinner: 0.7, spacing: 6 },
            lg: { square: 0, padH: 16, padV: 8, icon: 13, title: 13.5, spinner: 0.85, spacing: 7 },
            iconXs: { square: 20, padH: 0, padV: 0, icon: 10, title: 10, spinner: 0.5, spacing: 4 },
            iconSm: { square: 24, padH: 0, padV: 0, icon: 11, title: 11, spinner: 0.6, spacing: 4 },
            icon: { square: 28, padH: 0, padV: 0, icon: 13, title: 13, spinner: 0.7, spacing: 4 },
            iconLg: { square: 34, padH: 0, padV: 0, icon: 15, title: 15, spinner: 0.85, spacing: 4 }
        }
        return table[size] || table.md
    }
    readonly property bool isIconOnly: metrics.square > 0 || (title === "" && customLabel === null)
    readonly property bool active: hovered || selected
    readonly property color foreground: {
        switch (variant) {
        case "primary":
        case "destructive":
            return Theme.white
        case "tinted":
            return tint
        default:
            return Theme.primary
        }
    }

    // Title, else help, else the icon name read as words, else "Button".
    function accessibleName() {
        if (title !== "")
            return title
        if (helpText !== "")
            return helpText
        if (iconName !== "")
            return iconName.replace(/\./g, " ")
        return qsTr("Button")
    }

    enabled: !isLoading && !isDisabled
    hoverEnabled: true
    focusPolicy: Qt.TabFocus
    leftPadding: isIconOnly ? 0 : metrics.padH
    rightPadding: leftPadding
    topPadding: isIconOnly ? 0 : metrics.padV
    bottomPadding: topPadding
    implicitWidth: metrics.square > 0 ? metrics.square : implicitContentWidth + leftPadding + rightPadding
    implicitHeight: metrics.square > 0 ? metrics.square : implicitContentHeight + topPadding + bottomPadding
    opacity: enabled ? 1.0 : 0.45
    scale: pressed ? 0.94 : hovered ? 1.015 : 1.0

    Behavior on scale {
        NumberAnimation {
            duration: Theme.duration(root.pressed ? 80 : 120)
            easing.type: Easing.OutQuad
        }
    }

    Accessible.role: Accessible.Button
    Accessible.name: accessibleName()
    Accessible.description: helpText
    Accessible.checked: selected
    ToolTip.visible: hovered && helpText !== ""
    ToolTip.text: helpText
    ToolTip.delay: 600

    contentItem: Item {
        implicitWidth: content.implicitWidth
        implicitHeight: content.implicitHeight

        Row {
            id: content
            anchors.centerIn: parent
            spacing: root.metrics.spacing

            Item {
                objectName: "spinnerFrame"
                visible: root.isLoading
                width: root.metrics.icon
                height: width
                anchors.verticalCenter: parent.verticalCenter

                // Made only while loading: most buttons never are, and a window holds dozens of them.
                Loader {
                    anchors.centerIn: parent
                    active: root.isLoading
                    sourceComponent: Spinner {
                        scale: root.metrics.spinner
                        color: root.foreground
                    }
                }
            }
            SymbolIcon {
                objectName: "leadingIcon"
                visible: !root.isLoading && root.iconName !== ""
                anchors.verticalCenter: parent.verticalCenter
                name: root.iconName
                size: root.metrics.icon
                color: root.foreground
            }
            Loader {
                anchors.verticalCenter: parent.verticalCenter
                active: root.customLabel !== null
                sourceComponent: root.customLabel
            }
            Text {
                visible: root.customLabel === null && root.title !== ""
                anchors.verticalCenter: parent.verticalCenter
                text: root.title
                color: root.foreground
                font.pixelSize: Math.round(root.titlePixelSize)
                font.weight: root.titleWeight
            }
            SymbolIcon {
                visible: root.trailingIconName !== ""
                anchors.verticalCenter: parent.verticalCenter
                name: root.trailingIconName
                size: root.metrics.icon
                color: root.foreground
            }
        }
    }

    background: Item {
        readonly property real cornerRadius: root.capsule ? height / 2 : root.radius
        readonly property color overlay: {
            switch (root.variant) {
            case "default":
                return Theme.alpha(Theme.primary, root.active ? 0.08 : 0.035)
            case "tinted":
                return Theme.alpha(root.tint, root.active ? 0.18 : 0.08)
            case "secondary":
                return Theme.alpha(Theme.primary, root.active ? 0.12 : 0.06)
            case "destructive":
                return Theme.alpha(Theme.red, root.active ? 0.95 : 0.88)
            case "ghost":
                return Theme.alpha(Theme.primary, root.active ? 0.08 : 0)
            default:
                return "transparent"
            }
        }
        readonly property color outline: {
            switch (root.variant) {
            case "default":
                return Theme.alpha(Theme.primary, root.active ? 0.16 : 0.08)
            case "tinted":
                return Theme.alpha(root.tint, root.active ? 0.35 : 0.18)
            case "secondary":
                return Theme.alpha(Theme.primary, root.active ? 0.14 : 0.06)
            case "outline":
                return Theme.alpha(Theme.primary, root.active ? 0.35 : 0.2)
            case "ghost":
                return root.active ? Theme.alpha(Theme.primary, 0.1) : "transparent"
            default: // primary, destructive
                return Theme.alpha(Theme.white, root.active ? 0.35 : 0.18)
            }
        }

        // The thin material under the default and tinted variants.
        Rectangle {
            anchors.fill: parent
            visible: root.variant === "default" || root.variant === "tinted"
            radius: parent.cornerRadius
            color: Theme.alpha(Theme.windowBackground, 0.6)
        }
        Rectangle {
            anchors.fill: parent
            visible: root.variant === "primary"
            radius: parent.cornerRadius
            opacity: root.active ? 1.0 : 0.95
            gradient: Gradient {
                orientation: Gradient.Horizontal
                GradientStop { position: 0.0; color: Theme.brandColors[0] }
                GradientStop { position: 0.5; color: Theme.brandColors[1] }
                GradientStop { position: 1.0; color: Theme.brandColors[2] }
            }
        }
        Rectangle {
            anchors.fill: parent
            radius: parent.cornerRadius
            color: parent.overlay
            border.width: 1
            border.color: parent.outline

            Behavior on color {
                ColorAnimation { duration: Theme.duration(120); easing.type: Easing.OutQuad }
            }
        }
    }
}
