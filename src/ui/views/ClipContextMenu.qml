// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import Vexilo

// Every action on one clip, from a right click on its row.
Menu {
    id: clipMenu

    property var actions
    property string clipId

    // The window's colours, not the platform palette's, so that the menu follows light and dark.
    palette.window: Theme.windowBackground
    palette.base: Theme.textBackground
    palette.windowText: Theme.primary
    palette.text: Theme.primary
    palette.buttonText: Theme.primary
    palette.highlight: Theme.accent
    palette.highlightedText: "white"
    palette.light: Theme.windowBackground
    palette.mid: Theme.alpha(Theme.primary, 0.15)
    palette.dark: Theme.alpha(Theme.primary, 0.3)
    property var clipState: ({ tags: [] })
    property var allTags: []

    // At the pointer, or below the given row when opened from the keyboard.
    function popupFor(id, rowItem) {
        clipId = id
        clipState = actions.menuState(id)
        allTags = actions.allTags()
        if (rowItem)
            popup(rowItem, 24, rowItem.height)
        else
            popup()
    }

    MenuItem {
        text: "Paste"
        icon.source: "image://symbol/arrow.right.doc.on.clipboard?color=" + encodeURIComponent(Theme.primary.toString())
        icon.width: 14
        icon.height: 14
        onTriggered: clipMenu.actions.paste(clipMenu.clipId)
    }
    MenuItem {
        text: "Copy"
        icon.source: "image://symbol/doc.on.doc?color=" + encodeURIComponent(Theme.primary.toString())
        icon.width: 14
        icon.height: 14
        onTriggered: clipMenu.actions.copy(clipMenu.clipId)
    }
    MenuItem {
        text: clipMenu.clipState.isPinned ? "Unpin" : "Pin to Top"
        onTriggered: clipMenu.actions.togglePin(clipMenu.clipId)
    }
    Menu {
        id: tagsMenu
        title: "Tags"
        Instantiator {
            model: clipMenu.allTags
            delegate: MenuItem {
                required property string modelData
                text: modelData
                checkable: true
                checked: (clipMenu.clipState.tags || []).indexOf(modelData) >= 0
                onTriggered: {
                    if ((clipMenu.clipState.tags || []).indexOf(modelData) >= 0)
                        clipMenu.actions.removeTag(clipMenu.clipId, modelData)
                    else
                        clipMenu.actions.addTag(clipMenu.clipId, modelData)
                }
            }
            onObjectAdded: (index, object) => tagsMenu.insertItem(index, object)
            onObjectRemoved: (index, object) => tagsMenu.removeItem(object)
        }
        MenuSeparator { visible: (clipMenu.clipState.tags || []).length > 0 }
        MenuItem {
            visible: (clipMenu.clipState.tags || []).length > 0
            height: visible ? implicitHeight : 0
            text: "Remove All Tags"
            onTriggered: clipMenu.actions.removeAllTags(clipMenu.clipId)
        }
    }
    MenuItem {
        text: "Share via QR Code..."
        icon.source: "image://symbol/qrcode.viewfinder?color=" + encodeURIComponent(Theme.primary.toString())
        icon.width: 14
        icon.height: 14
        onTriggered: clipMenu.actions.presentQR(clipMenu.clipId)
    }
    MenuSeparator { }
    MenuItem {
        visible: !!clipMenu.clipState.hasText
        height: visible ? implicitHeight : 0
        text: "Copy as Plain Text"
        icon.source: "image://symbol/text.alignleft?color=" + encodeURIComponent(Theme.primary.toString())
        icon.width: 14
        icon.height: 14
        onTriggered: clipMenu.actions.copyTextOf(clipMenu.clipId)
    }
    MenuItem {
        visible: !!clipMenu.clipState.hasExtractedText
        height: visible ? implicitHeight : 0
        text: "Copy Extracted OCR Text"
        icon.source: "image://symbol/text.viewfinder?color=" + encodeURIComponent(Theme.primary.toString())
        icon.width: 14
        icon.height: 14
        onTriggered: clipMenu.actions.copyExtractedTextOf(clipMenu.clipId)
    }
    MenuItem {
        visible: !!clipMenu.clipState.firstPath
        height: visible ? implicitHeight : 0
        text: "Show in File Manager"
        icon.source: "image://symbol/folder?color=" + encodeURIComponent(Theme.primary.toString())
        icon.width: 14
        icon.height: 14
        onTriggered: clipMenu.actions.showInFileManager(clipMenu.clipState.firstPath)
    }
    MenuSeparator { }
    MenuItem {
        text: "Delete"
        icon.source: "image://symbol/trash?color=" + encodeURIComponent(Theme.primary.toString())
        icon.width: 14
        icon.height: 14
        onTriggered: clipMenu.actions.deleteClip(clipMenu.clipId)
    }
}
