// SPDX-License-Identifier: MIT
#include "SceneWindow.h"

#include "SceneEngine.h"

#include <QQmlEngine>

namespace Vexilo {

SceneWindow::SceneWindow(SceneEngine &scene, QUrl url, QString what,
                         std::function<QVariantMap(QObject *parent)> createViewModels, LogSink log, QObject *parent)
    : QObject(parent)
    , m_scene(scene)
    , m_url(std::move(url))
    , m_what(std::move(what))
    , m_createViewModels(std::move(createViewModels))
    , m_log(std::move(log))
{ }

SceneWindow::~SceneWindow()
{
    delete m_window.data();
}

QQuickWindow *SceneWindow::ensure(bool *made)
{
    if (made)
        *made = false;
    if (m_window || m_failed)
        return m_window;
    QQmlEngine &engine = m_scene.engine();
    const QVariantMap properties = m_createViewModels ? m_createViewModels(&engine) : QVariantMap();
    QString error;
    m_window = m_scene.createWindow(m_url, properties, error);
    if (!m_window) {
        m_failed = true;
        m_log(QStringLiteral("Vexilo: %1 could not be built: %2").arg(m_what, error));
        return nullptr;
    }
    // Frames are swapped on the render thread where there is one: note the time there, act here.
    connect(
        m_window, &QQuickWindow::frameSwapped, this,
        [this] {
            if (!m_awaitingFrame)
                return;
            m_awaitingFrame = false;
            const qint64 elapsed = m_presenting.nsecsElapsed();
            QMetaObject::invokeMethod(
                this, [this, elapsed] { Q_EMIT presented(elapsed); }, Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    if (made)
        *made = true;
    return m_window;
}

void SceneWindow::presenting()
{
    m_presenting.start();
    m_awaitingFrame = true;
}

} // namespace Vexilo
