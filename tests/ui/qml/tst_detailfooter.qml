// SPDX-License-Identifier: MIT
import QtQuick
import QtTest
import Vexilo

TestCase {
    id: testCase
    name: "DetailFooter"
    when: windowShown
    width: 800
    height: 100

    Component {
        id: footerComponent
        DetailFooter {}
    }

    // The widest row that fits: full labels, then short labels, then icons only.
    function test_layoutFollowsWidth() {
        const footer = createTemporaryObject(footerComponent, testCase)
        const regular = findChild(footer, "regularRow")
        const compact = findChild(footer, "compactRow")
        const icons = findChild(footer, "iconsRow")
        verify(icons.implicitWidth < compact.implicitWidth)
        verify(compact.implicitWidth < regular.implicitWidth)

        footer.width = regular.implicitWidth
        compare(footer.layout, FooterLayout.Regular)
        footer.width = regular.implicitWidth - 1
        compare(footer.layout, FooterLayout.Compact)
        footer.width = compact.implicitWidth
        compare(footer.layout, FooterLayout.Compact)
        footer.width = compact.implicitWidth - 1
        compare(footer.layout, FooterLayout.IconsOnly)
        footer.width = 20
        compare(footer.layout, FooterLayout.IconsOnly)
    }

    // "Unpin" is wider than "Pin": a row that just fitted no longer does.
    function test_pinningRechoosesLayout() {
        const footer = createTemporaryObject(footerComponent, testCase)
        const regular = findChild(footer, "regularRow")
        footer.width = regular.implicitWidth
        compare(footer.layout, FooterLayout.Regular)
        footer.isPinned = true
        // The row measures itself again when it is next polished.
        tryVerify(() => regular.implicitWidth > footer.width)
        compare(footer.layout, FooterLayout.Compact)
    }
}
