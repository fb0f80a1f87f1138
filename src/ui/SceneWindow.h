// SPDX-License-Identifier: MIT
#pragma once

#include "LogSink.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QQuickWindow>
#include <QUrl>
#include <QVariantMap>
#include <functional>

namespace Vexilo {

class SceneEngine;

// One window of the application's scene: made from its view file and view models on first use and
// then kept. A window that cannot be made is reported once and not tried again. Says when the first
// frame after each presentation is on screen.
class SceneWindow : public QObject
{
    Q_OBJECT

public:
    // `what` names the window in the log ("the history window").
    SceneWindow(SceneEngine &scene, QUrl url, QString what,
                std::function<QVariantMap(QObject *parent)> createViewModels, LogSink log, QObject *parent = nullptr);
    ~SceneWindow() override;

    // The window, made now if it does not exist yet; null when it cannot be made. `made` tells
    // whether this call made it.
    QQuickWindow *ensure(bool *made = nullptr);
    [[nodiscard]] QQuickWindow *window() const { return m_window; }

    // A presentation starts: `presented` follows the next frame.
    void presenting();
    [[nodiscard]] bool isAwaitingFrame() const { return m_awaitingFrame; }

Q_SIGNALS:
    // On the main thread, after the first frame since presenting(); with the time it took.
    void presented(qint64 nanoseconds);

private:
    SceneEngine &m_scene;
    QUrl m_url;
    QString m_what;
    std::function<QVariantMap(QObject *)> m_createViewModels;
    LogSink m_log;
    QPointer<QQuickWindow> m_window;
    QElapsedTimer m_presenting;
    bool m_awaitingFrame = false;
    bool m_failed = false;
};

} // namespace Vexilo
