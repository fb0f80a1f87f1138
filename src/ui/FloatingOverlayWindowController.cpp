// SPDX-License-Identifier: MIT
#include "FloatingOverlayWindowController.h"

#include "ClipboardStore.h"
#include "FocusRestoration.h"
#include "FreedMemory.h"
#include "OverlayWindowSupport.h"
#include "SceneEngine.h"
#include "SceneWindow.h"

#include <QCursor>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QTimer>

namespace Vexilo {

namespace {
const QUrl sceneUrl(QStringLiteral("qrc:/Vexilo/views/HudWindow.qml"));
} // namespace

FloatingOverlayWindowController::FloatingOverlayWindowController(Dependencies dependencies, QObject *parent)
    : QObject(parent)
    , m_deps(std::move(dependencies))
    , m_scene(std::make_unique<SceneWindow>(*m_deps.scene, sceneUrl, QStringLiteral("The history window"),
                                            m_deps.createViewModels, m_deps.log))
{
    connect(m_scene.get(), &SceneWindow::presented, this, &FloatingOverlayWindowController::onPresented);
}

FloatingOverlayWindowController::~FloatingOverlayWindowController() = default;

QQuickWindow *FloatingOverlayWindowController::window() const
{
    return m_scene->window();
}

QQuickWindow *FloatingOverlayWindowController::ensureWindow()
{
    bool made = false;
    QQuickWindow *window = m_scene->ensure(&made);
    if (!made)
        return window;
    window->setTitle(QStringLiteral("Vexilo"));
    window->setMinimumSize(QSize(minimumWidth, minimumHeight));
    if (window->width() <= 0 || window->height() <= 0)
        window->resize(defaultWidth, defaultHeight);
    if (m_deps.windowSupport) {
        m_deps.windowSupport->prepare(*window);
        // A history window tiled to half the screen is no overlay; its size is fixed before it is mapped.
        if (m_deps.windowSupport->floatsOnlyAtFixedSize()) {
            window->setMinimumSize(window->size());
            window->setMaximumSize(window->size());
        }
    }
    return window;
}

void FloatingOverlayWindowController::show()
{
    m_scene->presenting();
    if (m_deps.focus)
        m_deps.focus->captureTargetBeforePresenting();
    if (m_deps.store)
        m_deps.store->resignSearchFocus();
    QQuickWindow *window = ensureWindow();
    if (!window)
        return;
    centerOnScreen();
    window->show();
    if (m_deps.windowSupport)
        m_deps.windowSupport->activate(*window);
    else
        window->requestActivate();
}

void FloatingOverlayWindowController::onPresented(qint64 nanoseconds)
{
    // The window manager ignores an activation sent before it managed the window; by the first frame
    // it has, so ask again unless the window has the keyboard already.
    if (QQuickWindow *window = m_scene->window(); window && !window->isActive() && m_deps.windowSupport)
        m_deps.windowSupport->activate(*window);
    Q_EMIT presented(nanoseconds);
    // Building the scene leaves megabytes of compiler and layout scratch freed but resident.
    if (!m_memoryGivenBack) {
        m_memoryGivenBack = true;
        QTimer::singleShot(500, this, [] { FreedMemory::giveBack(); });
    }
}

void FloatingOverlayWindowController::hide()
{
    if (QQuickWindow *window = m_scene->window())
        window->hide();
}

void FloatingOverlayWindowController::toggle()
{
    if (QQuickWindow *window = m_scene->window(); window && window->isVisible())
        hide();
    else
        show();
}

void FloatingOverlayWindowController::centerOnScreen()
{
    QQuickWindow *window = m_scene->window();
    if (!window)
        return;
    const int width = window->width() > 0 ? window->width() : 800;
    const int height = window->height() > 0 ? window->height() : 500;
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window->setGeometry(area.center().x() - width / 2, area.center().y() - height / 2, width, height);
}

// The history window and the tray popover; not the preferences window nor a dialog, which keep
// their own keys and are never closed unanswered.
bool FloatingOverlayWindowController::isMainInterfaceVisible() const
{
    const QQuickWindow *window = m_scene->window();
    return (window && window->isVisible()) || (m_deps.popoverVisible && m_deps.popoverVisible());
}

void FloatingOverlayWindowController::dismissMainInterface()
{
    if (m_deps.dismissPopover)
        m_deps.dismissPopover();
    hide();
}

bool FloatingOverlayWindowController::otherTextInputFocused() const
{
    const QQuickWindow *window = m_scene->window();
    if (!window || !window->isActive())
        return false;
    const QQuickItem *item = window->activeFocusItem();
    if (!item || item->objectName() == QStringLiteral("searchField"))
        return false;
    return item->inherits("QQuickTextInput") || item->inherits("QQuickTextEdit");
}

} // namespace Vexilo

namespace Vexilo {

bool FloatingOverlayWindowController::popupOpen() const
{
    const QQuickWindow *window = m_scene->window();
    if (!window || !window->isActive())
        return false;
    for (const QQuickItem *item = window->activeFocusItem(); item; item = item->parentItem()) {
        if (item->inherits("QQuickPopupItem"))
            return true;
    }
    return false;
}

} // namespace Vexilo
