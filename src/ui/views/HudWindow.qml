// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Window
import Vexilo

// The floating history window: frameless, with chrome of its own, moved by its header and resized
// by its edges.
Window {
    id: window

    required property var store
    required property var main
    required property var listModel
    required property var listState
    required property var actions
    required property var detail
    required property var qrSheet
    required property var snippets
    required property var onboarding
    required property var cheatsheet
    required property var appearance

    width: 840
    height: 520
    minimumWidth: 680
    minimumHeight: 440
    title: "Vexilo"
    color: appearance.translucent ? "transparent" : Theme.windowBackground

    Binding { target: Theme; property: "dark"; value: window.appearance.dark }
    Binding { target: Theme; property: "increasedContrast"; value: window.appearance.increasedContrast }
    Binding { target: Theme; property: "reduceMotion"; value: window.appearance.reduceMotion }
    Binding { target: Theme; property: "translucent"; value: window.appearance.translucent }

    onVisibleChanged: {
        if (visible) {
            listModel.refreshAges()
            onboarding.windowShown()
            mainView.presented()
        }
    }

    MainView {
        id: mainView
        anchors.fill: parent
        store: window.store
        main: window.main
        listModel: window.listModel
        listState: window.listState
        actions: window.actions
        detail: window.detail
        qrSheet: window.qrSheet
        snippets: window.snippets
        onboarding: window.onboarding
        cheatsheet: window.cheatsheet
        onStartMove: window.startSystemMove()
    }

    // Edges and corners that resize the frameless window.
    Repeater {
        model: [
            { edges: Qt.LeftEdge, x: 0, y: 6, w: 5, h: -12, cursor: Qt.SizeHorCursor },
            { edges: Qt.RightEdge, x: -5, y: 6, w: 5, h: -12, cursor: Qt.SizeHorCursor },
            { edges: Qt.TopEdge, x: 6, y: 0, w: -12, h: 5, cursor: Qt.SizeVerCursor },
            { edges: Qt.BottomEdge, x: 6, y: -5, w: -12, h: 5, cursor: Qt.SizeVerCursor },
            { edges: Qt.TopEdge | Qt.LeftEdge, x: 0, y: 0, w: 6, h: 6, cursor: Qt.SizeFDiagCursor },
            { edges: Qt.BottomEdge | Qt.RightEdge, x: -6, y: -6, w: 6, h: 6, cursor: Qt.SizeFDiagCursor },
            { edges: Qt.TopEdge | Qt.RightEdge, x: -6, y: 0, w: 6, h: 6, cursor: Qt.SizeBDiagCursor },
            { edges: Qt.BottomEdge | Qt.LeftEdge, x: 0, y: -6, w: 6, h: 6, cursor: Qt.SizeBDiagCursor }
        ]
        delegate: MouseArea {
            required property var modelData
            x: modelData.x < 0 ? window.width + modelData.x : modelData.x
            y: modelData.y < 0 ? window.height + modelData.y : modelData.y
            width: modelData.w <= 0 ? window.width + modelData.w : modelData.w
            height: modelData.h <= 0 ? window.height + modelData.h : modelData.h
            cursorShape: modelData.cursor
            onPressed: window.startSystemResize(modelData.edges)
        }
    }
}
