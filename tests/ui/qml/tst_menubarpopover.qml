// SPDX-License-Identifier: MIT
import QtQuick
import QtTest
import Vexilo

// The popover's keyboard and pointer wiring, over a stand-in for its model that records the calls.
Item {
    id: top
    width: 300
    height: 600

    Component {
        id: fakeComponent
        QtObject {
            property string searchText: ""
            property int selectedFilter: 0
            property string actionsItemId: ""
            property string headerTitle: "Recent"
            property string emptyMessage: "No clips yet"
            property int listHeight: 200
            property bool isPaused: false
            property string pauseSymbol: "pause.circle.fill"
            property string pauseHelp: "Pause capture"
            property var filterTabs: [{ type: 0, icon: "tray.full.fill", help: "All" },
                                      { type: 6, icon: "chevron.left.forwardslash.chevron.right", help: "Code" }]
            property var calls: []
            property ListModel clips: ListModel {
                function clipIdAt(row) { return row >= 0 && row < count ? get(row).clipId : "" }
                ListElement { clipId: "A"; title: "first"; icon: "doc.text.fill"; subtitle: "Text · 1m"; feedback: false; pinned: false }
                ListElement { clipId: "B"; title: "second"; icon: "link"; subtitle: "Link · 2m"; feedback: false; pinned: true }
                ListElement { clipId: "C"; title: "third"; icon: "doc.text.fill"; subtitle: "Text · 3m"; feedback: false; pinned: false }
            }
            function record(call) { calls = calls.concat([call]) }
            function copyClip(id) { record("copy " + id) }
            function togglePin(id) { record("pin " + id); actionsItemId = "" }
            function deleteClip(id) { record("delete " + id); actionsItemId = "" }
            function toggleActions(id) { actionsItemId = actionsItemId === id ? "" : id }
            function closeActions() { actionsItemId = "" }
            function dismiss() { record("dismiss") }
            function togglePause() { record("pause") }
            function openMainApp() { record("open") }
            function openSettings() { record("settings") }
            function checkForUpdates() { record("update") }
            function quit() { record("quit") }
        }
    }
    Component {
        id: viewComponent
        MenuBarPopoverView {}
    }

    // Not the TestCase itself: it is invisible, and so would be the view in it.
    TestCase {
        id: testCase
        name: "MenuBarPopover"
        when: windowShown

        function makeView() {
            const fake = createTemporaryObject(fakeComponent, top)
            const view = createTemporaryObject(viewComponent, top, { popover: fake })
            view.presented()
            waitForRendering(view)
            return view
        }

        function test_arrowsThenReturnCopyTheHighlightedRow() {
            const view = makeView()
            verify(findChild(view, "popoverSearchField").activeFocus)
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Up)
            compare(view.keyIndex, 1)
            keyClick(Qt.Key_Return)
            compare(view.popover.calls, ["copy B"])
            // A new search starts from the top: Return takes the first row.
            keyClick("x")
            compare(view.popover.searchText, "x")
            keyClick(Qt.Key_Return)
            compare(view.popover.calls, ["copy B", "copy A"])
        }

        function test_escapeClosesTheMenuBeforeTheWindow() {
            const view = makeView()
            const row = findChild(view, "popoverRow_2")
            mouseClick(findChild(row, "popoverMoreButton"))
            const menu = findChild(view, "popoverActionsMenu")
            tryVerify(() => menu.opened)
            compare(view.popover.actionsItemId, "C")
            verify(row.highlighted)
            keyClick(Qt.Key_Escape)
            tryVerify(() => !menu.visible)
            compare(view.popover.actionsItemId, "")
            compare(view.popover.calls, [])
            keyClick(Qt.Key_Escape)
            compare(view.popover.calls, ["dismiss"])
        }

        function test_menuEntriesActOnTheirRow() {
            const view = makeView()
            const menu = findChild(view, "popoverActionsMenu")
            mouseClick(findChild(findChild(view, "popoverRow_1"), "popoverMoreButton"))
            tryVerify(() => menu.opened)
            const pin = menu.itemAt(0)
            compare(pin.text, "Unpin")
            mouseClick(menu.itemAt(1))
            tryVerify(() => !menu.visible)
            compare(view.popover.calls, ["delete B"])
        }

        function test_clicksReachTheModel() {
            const view = makeView()
            mouseClick(findChild(view, "popoverRow_0"), 60, 20)
            mouseClick(findChild(view, "popoverTab_6"))
            compare(view.popover.selectedFilter, 6)
            mouseClick(findChild(view, "popoverFooter_Pause"))
            mouseClick(findChild(view, "popoverFooter_Quit"))
            compare(view.popover.calls, ["copy A", "pause", "quit"])
        }
    }
}
