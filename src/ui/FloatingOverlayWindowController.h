// SPDX-License-Identifier: MIT
#pragma once

#include "LogSink.h"
#include "WindowController.h"

#include <QObject>
#include <QPointer>
#include <QVariantMap>
#include <functional>
#include <memory>

#include <QQmlEngine>
#include <QQuickWindow>

namespace Vexilo {

class ClipboardStore;
class FocusRestoration;
class OverlayWindowSupport;
class SceneEngine;
class SceneWindow;

// The floating history window (HUD). Its QML scene is built on first use and then kept for the whole
// run: hiding only unmaps it, so that later presentations are quick. Centred on the screen under the
// pointer at its current size each time it is presented.
class FloatingOverlayWindowController
    : public QObject
    , public WindowController
{
    Q_OBJECT

public:
    struct Dependencies
    {
        FocusRestoration *focus = nullptr;
        ClipboardStore *store = nullptr;
        OverlayWindowSupport *windowSupport = nullptr;
        SceneEngine *scene = nullptr; // required
        // The scene's view models, made on first use with the given parent; the root's properties.
        std::function<QVariantMap(QObject *parent)> createViewModels;
        LogSink log = standardOutputLog();
        // The tray popover, which counts as the main interface too. Optional: there is none.
        std::function<bool()> popoverVisible;
        std::function<void()> dismissPopover;
    };

    static constexpr int defaultWidth = 840;
    static constexpr int defaultHeight = 520;
    static constexpr int minimumWidth = 680;
    static constexpr int minimumHeight = 440;

    explicit FloatingOverlayWindowController(Dependencies dependencies, QObject *parent = nullptr);
    ~FloatingOverlayWindowController() override;

    void show();
    void hide();
    void toggle();
    void centerOnScreen();

    // WindowController
    void toggleHud() override { toggle(); }
    void showHud() override { show(); }
    void hideHud() override { hide(); }
    [[nodiscard]] bool isMainInterfaceVisible() const override;
    void dismissMainInterface() override;
    void hideApplication() override { dismissMainInterface(); }

    // Null until the HUD was first shown, or when its scene could not be built.
    [[nodiscard]] QQuickWindow *window() const;
    // Whether a text input other than the search field has the keyboard in the HUD.
    [[nodiscard]] bool otherTextInputFocused() const;
    // Whether a menu or popup of the HUD has the keyboard.
    [[nodiscard]] bool popupOpen() const;

Q_SIGNALS:
    // The first frame after a presentation is on screen; with the time it took since show().
    void presented(qint64 nanoseconds);

private:
    QQuickWindow *ensureWindow();
    void onPresented(qint64 nanoseconds);

    Dependencies m_deps;
    std::unique_ptr<SceneWindow> m_scene;
    bool m_memoryGivenBack = false;
};

} // namespace Vexilo
