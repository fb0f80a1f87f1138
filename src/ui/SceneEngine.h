// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <functional>
#include <memory>

class QQmlEngine;
class QQuickWindow;

namespace Vexilo {

// The one QML engine behind every window of the application, made when the first window is, so
// that the windows share their compiled components, image caches and fonts.
class SceneEngine
{
public:
    // `prepare` readies the engine once it exists (import path, image providers).
    explicit SceneEngine(std::function<void(QQmlEngine &)> prepare);
    ~SceneEngine();
    SceneEngine(const SceneEngine &) = delete;
    SceneEngine &operator=(const SceneEngine &) = delete;

    [[nodiscard]] QQmlEngine &engine();
    [[nodiscard]] bool exists() const { return bool(m_engine); }

    // A window made from a view file with its root's initial properties, owned by the caller; null
    // with the reason in `error` when the file does not build into a window.
    [[nodiscard]] QQuickWindow *createWindow(const QUrl &url, const QVariantMap &properties, QString &error);

private:
    std::function<void(QQmlEngine &)> m_prepare;
    std::unique_ptr<QQmlEngine> m_engine;
};

} // namespace Vexilo
