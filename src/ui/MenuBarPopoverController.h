// SPDX-License-Identifier: MIT
#pragma once

#include "LogSink.h"

#include <QElapsedTimer>
#include <QObject>
#include <QRect>
#include <QVariantMap>
#include <functional>
#include <memory>

#include <QQuickWindow>

namespace Vexilo {

class OverlayWindowSupport;
class SceneEngine;
class SceneWindow;

// The tray's popover: a small window of recent clips at the tray icon. Built on first use and kept;
// closed by Escape, by its own actions and when another window takes the keyboard.
class MenuBarPopoverController : public QObject
{
    Q_OBJECT

public:
    struct Dependencies
    {
        SceneEngine *scene = nullptr; // required
        OverlayWindowSupport *windowSupport = nullptr;
        // The root's properties ("popover", "appearance"), made once with the given parent.
        std::function<QVariantMap(QObject *parent)> createViewModels;
        LogSink log = standardOutputLog();
    };

    static constexpr int width = 300;

    explicit MenuBarPopoverController(Dependencies dependencies, QObject *parent = nullptr);
    ~MenuBarPopoverController() override;

    // Shows the popover beside `anchor` (the tray icon, or a point where the user clicked), or
    // closes it when it is open or was closed by that very click.
    void toggle(const QRect &anchor);
    void show(const QRect &anchor);
    void dismiss();
    [[nodiscard]] bool isVisible() const;
    // Null until first shown, or when the scene could not be built.
    [[nodiscard]] QQuickWindow *window() const;

    // Where a window of `size` goes for a tray icon at `anchor`: below it when the icon is in the upper
    // half of the screen, above it otherwise, centred on it, and inside `available`.
    [[nodiscard]] static QRect placement(const QRect &anchor, const QSize &size, const QRect &available);

Q_SIGNALS:
    // The first frame after show() is on screen; with the time it took.
    void presented(qint64 nanoseconds);

private:
    QQuickWindow *ensureWindow();
    void place(QQuickWindow &window, const QRect &anchor);

    Dependencies m_deps;
    std::unique_ptr<SceneWindow> m_scene;
    QRect m_anchor;
    QElapsedTimer m_sinceAutoDismiss;
};

} // namespace Vexilo
