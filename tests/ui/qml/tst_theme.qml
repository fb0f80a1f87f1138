// SPDX-License-Identifier: MIT
import QtQuick
import QtTest
import Vexilo

TestCase {
    name: "Theme"

    function test_alphaAndMotion() {
        const c = Theme.alpha(Theme.white, 0.5)
        compare(c.a, 0.5)
        Theme.reduceMotion = true
        compare(Theme.duration(120), 0)
        Theme.reduceMotion = false
        compare(Theme.duration(120), 120)
    }
}
