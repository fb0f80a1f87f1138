// SPDX-License-Identifier: MIT
pragma Singleton
import QtQuick

// Brand colours and the semantic colours of the desktop's palette, light or dark. The window binds
// `dark`, `increasedContrast`, `reduceMotion` and `translucent` to what the desktop says.
QtObject {
    property bool dark: false
    property bool increasedContrast: false
    property bool reduceMotion: false
    property bool translucent: false

    readonly property var brandColors: [Qt.rgba(0.0, 0.68, 1.0, 1), Qt.rgba(0.06, 0.4, 0.98, 1),
                                        Qt.rgba(0.2, 0.25, 0.94, 1)]

    // The desktop's palette, used where it is of the same lightness as the scheme in force (a
    // desktop may say "dark" through the portal while Qt still has a light palette).
    readonly property SystemPalette palette: SystemPalette { colorGroup: SystemPalette.Active }
    readonly property bool paletteMatches: (palette.window.hslLightness < 0.5) === dark

    readonly property color primary: paletteMatches ? palette.windowText : (dark ? "#f2f2f4" : "#1d1d1f")
    readonly property color secondary: Qt.tint(windowBackground, Qt.rgba(primary.r, primary.g, primary.b, 0.6))
    readonly property color accent: paletteMatches && palette.highlight.hslSaturation > 0.25
                                    ? palette.highlight : (dark ? "#3b9cff" : "#0a64f0")
    readonly property color windowBackground: paletteMatches ? palette.window : (dark ? "#26262a" : "#f3f3f5")
    readonly property color textBackground: paletteMatches ? palette.base : (dark ? "#1c1c1f" : "#ffffff")
    readonly property color red: dark ? "#ff5a52" : "#e0352b"
    readonly property color orange: dark ? "#ffa033" : "#e8830c"
    readonly property color green: dark ? "#3ad26a" : "#20a84a"
    readonly property color blue: dark ? "#4a9dff" : "#1a73e8"
    readonly property color white: "#ffffff"

    // The colour with its alpha multiplied by a.
    function alpha(c, a) {
        return Qt.rgba(c.r, c.g, c.b, c.a * a)
    }

    // Durations that drop to nothing when the desktop asks for less motion.
    function duration(ms) {
        return reduceMotion ? 0 : ms
    }

    // The UI font of the desktop, at a size in logical pixels.
    function font(pixelSize, weight) {
        return Qt.font({ pixelSize: pixelSize, weight: weight === undefined ? Font.Normal : weight })
    }
}
