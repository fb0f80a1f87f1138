// SPDX-License-Identifier: MIT
#include "SettingsWindowController.h"

#include "SceneWindow.h"

#include <QCursor>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QScreen>

namespace Vexilo {

namespace {
const QUrl sceneUrl(QStringLiteral("qrc:/Vexilo/views/SettingsWindow.qml"));
} // namespace

SettingsWindowController::SettingsWindowController(Dependencies dependencies, QObject *parent)
    : QObject(parent)
    , m_deps(std::move(dependencies))
    , m_scene(std::make_unique<SceneWindow>(*m_deps.scene, sceneUrl, QStringLiteral("The preferences window"),
                                            m_deps.createViewModels, m_deps.log))
{
    connect(m_scene.get(), &SceneWindow::presented, this, &SettingsWindowController::presented);
}

SettingsWindowController::~SettingsWindowController() = default;

QQuickWindow *SettingsWindowController::window() const
{
    return m_scene->window();
}

QQuickWindow *SettingsWindowController::ensureWindow()
{
    bool made = false;
    QQuickWindow *window = m_scene->ensure(&made);
    if (!made)
        return window;
    window->setTitle(title);
    window->setMinimumSize(QSize(minimumWidth, minimumHeight));
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    QRect frame(0, 0, defaultWidth, defaultHeight);
    if (screen)
        frame.moveCenter(screen->availableGeometry().center());
    window->setGeometry(frame);
    if (m_deps.windowCreated)
        m_deps.windowCreated(*window);
    return window;
}

void SettingsWindowController::open()
{
    m_scene->presenting();
    const bool existed = m_scene->window() != nullptr;
    QQuickWindow *window = ensureWindow();
    if (!window)
        return;
    if (existed)
        QMetaObject::invokeMethod(window, "resetView");
    window->show();
    window->raise();
    if (m_deps.activate)
        m_deps.activate(*window);
    else
        window->requestActivate();
}

void SettingsWindowController::close()
{
    if (QQuickWindow *window = m_scene->window())
        window->hide();
}

bool SettingsWindowController::isVisible() const
{
    const QQuickWindow *window = m_scene->window();
    return window && window->isVisible();
}

} // namespace Vexilo
