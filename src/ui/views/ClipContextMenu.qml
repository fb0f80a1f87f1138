// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.Basic
import Vexilo

// Every action on one clip, from a right click on its row.
Menu {
    id: menu

    property var actions
    property string clipId
    property var clipState: ({})
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
        icon.source: "image://symbol/arrow.right.doc.on.clipboard"
        onTriggered: menu.actions.paste(menu.clipId)
    }
    MenuItem {
        text: "Copy"
        icon.source: "image://symbol/doc.on.doc"
        onTriggered: menu.actions.copy(menu.clipId)
    }
    MenuItem {
        text: menu.clipState.isPinned ? "Unpin" : "Pin to Top"
        onTriggered: menu.actions.togglePin(menu.clipId)
    }
    Menu {
        id: tagsMenu
        title: "Tags"
        Instantiator {
            model: menu.allTags
            delegate: MenuItem {
                required property string modelData
                text: modelData
                checkable: true
                checked: (menu.clipState.tags || []).indexOf(modelData) >= 0
                onTriggered: {
                    if ((menu.clipState.tags || []).indexOf(modelData) >= 0)
                        menu.actions.removeTag(menu.clipId, modelData)
                    else
                        menu.actions.addTag(menu.clipId, modelData)
                }
            }
            onObjectAdded: (index, object) => tagsMenu.insertItem(index, object)
            onObjectRemoved: (index, object) => tagsMenu.removeItem(object)
        }
        MenuSeparator { visible: (menu.clipState.tags || []).length > 0 }
        MenuItem {
            visible: (menu.clipState.tags || []).length > 0
            height: visible ? implicitHeight : 0
            text: "Remove All Tags"
            onTriggered: menu.actions.removeAllTags(menu.clipId)
        }
    }
    MenuItem {
        text: "Share via QR Code..."
        icon.source: "image://symbol/qrcode.viewfinder"
        onTriggered: menu.actions.presentQR(menu.clipId)
    }
    MenuSeparator { }
    MenuItem {
        visible: !!menu.clipState.hasText
        height: visible ? implicitHeight : 0
        text: "Copy as Plain Text"
        icon.source: "image://symbol/text.alignleft"
        onTriggered: menu.actions.copyTextOf(menu.clipId)
    }
    MenuItem {
        visible: !!menu.clipState.hasExtractedText
        height: visible ? implicitHeight : 0
        text: "Copy Extracted OCR Text"
        icon.source: "image://symbol/text.viewfinder"
        onTriggered: menu.actions.copyExtractedTextOf(menu.clipId)
    }
    MenuItem {
        visible: !!menu.clipState.firstPath
        height: visible ? implicitHeight : 0
        text: "Show in File Manager"
        icon.source: "image://symbol/folder"
        onTriggered: menu.actions.showInFileManager(menu.clipState.firstPath)
    }
    MenuSeparator { }
    MenuItem {
        text: "Delete"
        icon.source: "image://symbol/trash"
        onTriggered: menu.actions.deleteClip(menu.clipId)
    }
}
