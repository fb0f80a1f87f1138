// SPDX-License-Identifier: MIT
#pragma once

#include "LogSink.h"

#include <QObject>
#include <QVariantMap>
#include <functional>
#include <memory>

#include <QQuickWindow>
class QWindow;

namespace Vexilo {

class SceneEngine;
class SceneWindow;

// The preferences window: made when first opened, centred then, and kept (closing only hides it).
class SettingsWindowController : public QObject
{
    Q_OBJECT

public:
    struct Dependencies
    {
        SceneEngine *scene = nullptr; // required
        // The root's properties ("settings", "cheatsheet", "appearance"), made once with the given parent.
        std::function<QVariantMap(QObject *parent)> createViewModels;
        // Gives the shown window the keyboard the way the desktop allows.
        std::function<void(QWindow &)> activate;
        // Called once with the new window, e.g. to watch its keys.
        std::function<void(QQuickWindow &)> windowCreated;
        LogSink log = standardOutputLog();
    };

    static constexpr int defaultWidth = 640;
    static constexpr int defaultHeight = 560;
    static constexpr int minimumWidth = 640;
    static constexpr int minimumHeight = 480;
    static inline const QString title = QStringLiteral("Vexilo Preferences");

    explicit SettingsWindowController(Dependencies dependencies, QObject *parent = nullptr);
    ~SettingsWindowController() override;

    // Shows the window in front with a fresh view: the first section, no leftover input.
    void open();
    void close();
    [[nodiscard]] bool isVisible() const;
    [[nodiscard]] QQuickWindow *window() const;

Q_SIGNALS:
    // The window's first frame after open() is on screen; with the time it took.
    void presented(qint64 nanoseconds);

private:
    QQuickWindow *ensureWindow();

    Dependencies m_deps;
    std::unique_ptr<SceneWindow> m_scene;
};

} // namespace Vexilo
