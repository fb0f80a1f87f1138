// SPDX-License-Identifier: MIT
import QtQuick
import Vexilo

// A hairline, horizontal unless `vertical`.
Rectangle {
    property bool vertical: false

    implicitWidth: vertical ? 1 : 0
    implicitHeight: vertical ? 0 : 1
    color: Theme.alpha(Theme.primary, 0.12)
}
