// SPDX-License-Identifier: MIT
import QtQuick
import QtTest
import Vexilo

Item {
    id: top

    width: 640
    height: 420

    Component {
        id: tabsComponent
        AppTabs {}
    }
    Component {
        id: flowComponent
        FlowLayout {}
    }
    Component {
        id: boxComponent
        Rectangle {}
    }
    Component {
        id: buttonComponent
        AppButton {}
    }
    Component {
        id: iconComponent
        SymbolIcon {}
    }
    // The divider between a pane that follows its width and whatever is right of it, as a window has it.
    Component {
        id: splitComponent
        Row {
            property alias divider: divider
            Rectangle {
                width: divider.leftWidth
                height: 100
            }
            SlideSplitDivider {
                id: divider
                height: 100
                leftWidth: 200
                minWidth: 180
                maxWidth: 300
                onLeftWidthEdited: width => leftWidth = width
            }
        }
    }
    SignalSpy {
        id: spy
    }

    TestCase {
        name: "AppTabs"
        when: windowShown

        function eightTabs() {
            const items = []
            for (let i = 1; i <= 8; ++i)
                items.push({ id: i, title: "Tab " + i, icon: "doc.text", badgeCount: i === 2 ? 0 : i })
            return items
        }

        function shownIds(tabs) {
            const repeater = findChild(tabs, "tabRepeater")
            const ids = []
            for (let i = 0; i < repeater.count; ++i)
                ids.push(repeater.itemAt(i).tabId)
            return ids
        }

        // The strip keeps the selection in view, at the end when it would overflow.
        function test_overflow_data() {
            return [
                { tag: "selection beyond the limit", max: 3, selection: 6, shown: [1, 2, 6], overflow: [3, 4, 5, 7, 8],
                  moreSelected: true },
                { tag: "selection within the limit", max: 3, selection: 2, shown: [1, 2, 3], overflow: [4, 5, 6, 7, 8],
                  moreSelected: false },
                { tag: "limit of one", max: 1, selection: 8, shown: [8], overflow: [1, 2, 3, 4, 5, 6, 7], moreSelected: true },
                { tag: "no item selected", max: 3, selection: 42, shown: [1, 2, 3], overflow: [4, 5, 6, 7, 8],
                  moreSelected: false },
                { tag: "limit equal to the count", max: 8, selection: 6, shown: [1, 2, 3, 4, 5, 6, 7, 8], overflow: [],
                  moreSelected: false },
                { tag: "limit above the count", max: 12, selection: 6, shown: [1, 2, 3, 4, 5, 6, 7, 8], overflow: [],
                  moreSelected: false },
                { tag: "no limit", max: 0, selection: 6, shown: [1, 2, 3, 4, 5, 6, 7, 8], overflow: [], moreSelected: false }
            ]
        }

        function test_overflow(data) {
            const tabs = createTemporaryObject(tabsComponent, top,
                                               { items: eightTabs(), selection: data.selection, maxVisibleTabs: data.max })
            compare(shownIds(tabs), data.shown)
            compare(tabs.overflowItems.map(item => item.id), data.overflow)
            const more = findChild(tabs, "moreButton")
            compare(more.visible, data.overflow.length > 0)
            // The pill stands under the selected tab; "More" has its own while the selection came from beyond the limit.
            const pill = findChild(tabs, "pill")
            const selectedAt = data.shown.indexOf(data.selection)
            compare(pill.shown, selectedAt >= 0)
            if (selectedAt >= 0)
                compare(pill.target, findChild(tabs, "tabRepeater").itemAt(selectedAt))
            compare(findChild(tabs, "morePill").shown, data.moreSelected)
        }

        function test_choosingFromTheStripAndTheMenu() {
            const tabs = createTemporaryObject(tabsComponent, top, { items: eightTabs(), selection: 6, maxVisibleTabs: 3 })
            spy.clear()
            spy.signalName = "activated"
            spy.target = tabs
            mouseClick(findChild(tabs, "tabRepeater").itemAt(1))
            compare(spy.count, 1)
            compare(spy.signalArguments[0][0], 2)

            const more = findChild(tabs, "moreButton")
            mouseClick(more)
            compare(tabs.showingMorePopover, true)
            const rows = findChild(more, "overflowRepeater")
            compare(rows.count, 5)
            tryCompare(rows.itemAt(0), "visible", true)
            mouseClick(rows.itemAt(2))
            compare(spy.count, 2)
            compare(spy.signalArguments[1][0], 5)
            compare(tabs.showingMorePopover, false)
        }

        function test_accessibility() {
            const tabs = createTemporaryObject(tabsComponent, top, { items: eightTabs(), selection: 1 })
            compare(tabs.Accessible.name, "Category Tabs")
            const repeater = findChild(tabs, "tabRepeater")
            const selected = repeater.itemAt(0)
            compare(selected.Accessible.name, "Tab 1 category")
            compare(selected.Accessible.description, "1 items")
            compare(repeater.itemAt(1).Accessible.description, "Switch to Tab 2 tab")
            tabs.items = [{ id: 1, title: "All" }, { id: 2, title: "Pinned" }]
            compare(repeater.itemAt(0).Accessible.description, "Currently active tab")
        }
    }

    TestCase {
        name: "FlowLayout"
        when: windowShown

        // Positions follow the wrap rule; the flow is as high as its lines.
        function test_wrap_data() {
            return [
                { tag: "wraps where the next child passes the width", width: 100, sizes: [[40, 10], [40, 20], [40, 10]],
                  positions: [[0, 0], [46, 0], [0, 26]], height: 36 },
                { tag: "a child that ends exactly at the edge stays", width: 86, sizes: [[40, 10], [40, 12]],
                  positions: [[0, 0], [46, 0]], height: 12 },
                { tag: "first child wider than the flow", width: 50, sizes: [[80, 10], [20, 14]],
                  positions: [[0, 6], [0, 22]], height: 36 },
                { tag: "the new line's height is the wrapped child's", width: 60, sizes: [[30, 30], [40, 8], [10, 12]],
                  positions: [[0, 0], [0, 36], [46, 36]], height: 48 },
                { tag: "without a width the flow is 300 wide", sizes: [[150, 10], [140, 10], [20, 10]],
                  positions: [[0, 0], [156, 0], [0, 16]], height: 26 }
            ]
        }

        function test_wrap(data) {
            const flow = createTemporaryObject(flowComponent, top, { spacing: 6 })
            if (data.width !== undefined)
                flow.width = data.width
            const boxes = data.sizes.map(size => boxComponent.createObject(flow, { width: size[0], height: size[1] }))
            flow.ensurePolished()
            compare(boxes.map(box => [box.x, box.y]), data.positions)
            compare(flow.implicitHeight, data.height)
            compare(flow.width, data.width !== undefined ? data.width : 300)
        }

        function test_followsChildrenAndHidden() {
            const flow = createTemporaryObject(flowComponent, top, { spacing: 6, width: 100 })
            const first = boxComponent.createObject(flow, { width: 40, height: 10 })
            const second = boxComponent.createObject(flow, { width: 40, height: 10 })
            flow.ensurePolished()
            compare(second.x, 46)
            first.width = 70
            flow.ensurePolished()
            compare([second.x, second.y], [0, 16])
            first.visible = false
            flow.ensurePolished()
            compare([second.x, second.y], [0, 0])
            compare(flow.implicitHeight, 10)
        }
    }

    TestCase {
        name: "SlideSplitDivider"
        when: windowShown

        function test_dragClampsAndRestartsFromTheReachedWidth() {
            const split = createTemporaryObject(splitComponent, top)
            const divider = split.divider
            mousePress(split, 204, 50)
            mouseMove(split, 214, 50, -1, Qt.LeftButton)
            compare(divider.leftWidth, 210)
            verify(divider.isDragging)
            mouseMove(split, 600, 50, -1, Qt.LeftButton)
            compare(divider.leftWidth, 300)
            mouseMove(split, 10, 50, -1, Qt.LeftButton)
            compare(divider.leftWidth, 180)
            mouseRelease(split, 10, 50)
            verify(!divider.isDragging)

            // The next drag starts at the divider's new place, from the width reached.
            split.forceLayout()
            mousePress(split, 184, 50)
            mouseMove(split, 209, 50, -1, Qt.LeftButton)
            compare(divider.leftWidth, 205)
            mouseRelease(split, 209, 50)
        }
    }

    TestCase {
        name: "AppButton"
        when: windowShown

        function test_loadingButtonDoesNotFire() {
            const button = createTemporaryObject(buttonComponent, top,
                                                 { title: "Extract Text", iconName: "text.viewfinder", isLoading: true })
            spy.clear()
            spy.signalName = "clicked"
            spy.target = button
            mouseClick(button)
            compare(spy.count, 0)
            compare(button.opacity, 0.45)
            verify(findChild(button, "spinnerFrame").visible)
            verify(!findChild(button, "leadingIcon").visible)

            button.isLoading = false
            mouseClick(button)
            compare(spy.count, 1)
            compare(button.opacity, 1)
            verify(findChild(button, "leadingIcon").visible)
        }

        function test_accessibleName_data() {
            return [
                { tag: "title", properties: { title: "Copy", iconName: "doc.on.doc", helpText: "Copy the clip" }, name: "Copy" },
                { tag: "help text", properties: { iconName: "trash", size: "iconSm", helpText: "Delete (⌫)" },
                  name: "Delete (⌫)" },
                { tag: "icon only, no help", properties: { iconName: "arrow.right.doc.on.clipboard", size: "iconSm" },
                  name: "arrow right doc on clipboard" },
                { tag: "nothing", properties: {}, name: "Button" }
            ]
        }

        function test_accessibleName(data) {
            const button = createTemporaryObject(buttonComponent, top, data.properties)
            compare(button.Accessible.name, data.name)
            compare(button.Accessible.description, data.properties.helpText || "")
        }
    }

    TestCase {
        name: "SymbolIcons"
        when: windowShown

        // Every symbol of the table draws: a missing theme name or asset fails here.
        function test_everySymbolLoads() {
            const names = SymbolIcons.names()
            verify(names.length > 40)
            for (const name of names) {
                const icon = createTemporaryObject(iconComponent, top, { name: name, size: 16 })
                const image = findChild(icon, "image")
                tryVerify(() => image.status !== Image.Loading)
                compare(image.status, Image.Ready, name)
            }
        }

        function test_glyphTakesTheColour() {
            const icon = createTemporaryObject(iconComponent, top, { name: "doc.on.doc", size: 22, color: "#ff0000" })
            const image = findChild(icon, "image")
            tryCompare(image, "status", Image.Ready)
            waitForRendering(icon)
            const grab = grabImage(icon)
            let red = 0
            let other = 0
            for (let y = 0; y < grab.height; ++y) {
                for (let x = 0; x < grab.width; ++x) {
                    const c = grab.pixel(x, y)
                    if (c.r > 0.9 && c.g < 0.1 && c.b < 0.1)
                        ++red
                    else if (c.r < 0.5)
                        ++other
                }
            }
            verify(red > 20, "red pixels: " + red)
            compare(other, 0)
        }
    }
}
