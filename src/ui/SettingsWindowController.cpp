// SPDX-License-Identifier: MIT
#include "SettingsWindowController.h"

#include "SceneEngine.h"

#include <QCursor>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QScreen>

namespace Vexilo {

namespace {
const QUrl sceneUrl(QStringLiteral("qrc:/Vexilo/views/SettingsWindow.qml"));
} // namespace

SettingsWindowController::SettingsWindowController(Dependencies dependencies, QObject *parent)
    : QObject(parent)
    , m_deps(std::move(dependencies))
{ }

SettingsWindowController::~SettingsWindowController()
{
    delete m_window.data();
}

bool SettingsWindowController::ensureWindow()
{
    if (m_window)
        return true;
    if (m_failed)
        return false;
    QQmlEngine &engine = m_deps.scene->engine();
    const QVariantMap properties = m_deps.createViewModels ? m_deps.createViewModels(&engine) : QVariantMap();
    QString error;
    m_window = m_deps.scene->createWindow(sceneUrl, properties, error);
    if (!m_window) {
        m_failed = true;
        m_deps.log(QStringLiteral("Vexilo: The preferences window could not be built: %1").arg(error));
        return false;
    }
    m_window->setTitle(title);
    m_window->setMinimumSize(QSize(minimumWidth, minimumHeight));
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    QRect frame(0, 0, defaultWidth, defaultHeight);
    if (screen)
        frame.moveCenter(screen->availableGeometry().center());
    m_window->setGeometry(frame);
    connect(
        m_window, &QQuickWindow::frameSwapped, this,
        [this] {
            if (!m_awaitingFrame)
                return;
            m_awaitingFrame = false;
            const qint64 elapsed = m_opening.nsecsElapsed();
            QMetaObject::invokeMethod(
                this, [this, elapsed] { Q_EMIT presented(elapsed); }, Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    if (m_deps.windowCreated)
        m_deps.windowCreated(*m_window);
    return true;
}

void SettingsWindowController::open()
{
    m_opening.start();
    const bool existed = bool(m_window);
    if (!ensureWindow())
        return;
    if (existed)
        QMetaObject::invokeMethod(m_window, "resetView");
    m_awaitingFrame = !m_window->isVisible();
    m_window->show();
    m_window->raise();
    if (m_deps.activate)
        m_deps.activate(*m_window);
    else
        m_window->requestActivate();
}

void SettingsWindowController::close()
{
    if (m_window)
        m_window->hide();
}

bool SettingsWindowController::isVisible() const
{
    return m_window && m_window->isVisible();
}

} // namespace Vexilo
