// SPDX-License-Identifier: MIT
#include "SceneEngine.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>

namespace Vexilo {

SceneEngine::SceneEngine(std::function<void(QQmlEngine &)> prepare)
    : m_prepare(std::move(prepare))
{ }

SceneEngine::~SceneEngine() = default;

QQmlEngine &SceneEngine::engine()
{
    if (!m_engine) {
        m_engine = std::make_unique<QQmlEngine>();
        if (m_prepare)
            m_prepare(*m_engine);
    }
    return *m_engine;
}

QQuickWindow *SceneEngine::createWindow(const QUrl &url, const QVariantMap &properties, QString &error)
{
    QQmlComponent component(&engine(), url);
    // Creating from a component that is not ready crashes in Qt 6.4.
    if (!component.isReady()) {
        error = component.errorString();
        return nullptr;
    }
    QObject *root = component.createWithInitialProperties(properties);
    auto *window = qobject_cast<QQuickWindow *>(root);
    if (!window) {
        delete root;
        error = component.errorString().isEmpty() ? QStringLiteral("%1 is not a window").arg(url.toString())
                                                  : component.errorString();
    }
    return window;
}

} // namespace Vexilo
