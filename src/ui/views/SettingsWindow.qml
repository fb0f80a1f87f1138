// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Window
import Vexilo

// The preferences window. Ctrl+Tab and Ctrl+Page Down go to the next section, with Shift or
// Page Up to the previous one.
Window {
    id: window

    required property var settings
    required property var cheatsheet
    required property var appearance

    width: 640
    height: 560
    minimumWidth: 640
    minimumHeight: 480
    title: "Vexilo Preferences"
    color: Theme.windowBackground

    Binding { target: Theme; property: "dark"; value: window.appearance.dark }
    Binding { target: Theme; property: "increasedContrast"; value: window.appearance.increasedContrast }
    Binding { target: Theme; property: "reduceMotion"; value: window.appearance.reduceMotion }
    Binding { target: Theme; property: "translucent"; value: window.appearance.translucent }

    // A reopened window starts over: first section, no leftover input or export message.
    function resetView() {
        settings.clearExportStatus()
        view.reset()
    }

    // What the desktop allows may have changed while the window was away (a package installed).
    onVisibleChanged: if (visible) settings.refresh()
    onActiveChanged: if (active) settings.refresh()

    Shortcut {
        sequences: ["Ctrl+Tab", "Ctrl+PgDown"]
        onActivated: view.stepSection(1)
    }
    Shortcut {
        sequences: ["Ctrl+Shift+Tab", "Ctrl+Backtab", "Ctrl+PgUp"]
        onActivated: view.stepSection(-1)
    }
    Shortcut {
        sequences: [StandardKey.Close]
        onActivated: window.close()
    }

    SettingsView {
        id: view
        anchors.fill: parent
        settings: window.settings
        cheatsheet: window.cheatsheet
    }
}
