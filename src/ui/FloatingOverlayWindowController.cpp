// SPDX-License-Identifier: MIT
#include "FloatingOverlayWindowController.h"

#include "ClipboardStore.h"
#include "FocusRestoration.h"
#include "FreedMemory.h"
#include "OverlayWindowSupport.h"
#include "SceneEngine.h"

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
{ }

FloatingOverlayWindowController::~FloatingOverlayWindowController()
{
    delete m_window.data();
}

bool FloatingOverlayWindowController::ensureWindow()
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
        m_deps.log(QStringLiteral("Vexilo: The history window could not be built: %1").arg(error));
        return false;
    }
    m_window->setTitle(QStringLiteral("Vexilo"));
    m_window->setMinimumSize(QSize(minimumWidth, minimumHeight));
    if (m_window->width() <= 0 || m_window->height() <= 0)
        m_window->resize(defaultWidth, defaultHeight);
    if (m_deps.windowSupport)
        m_deps.windowSupport->prepare(*m_window);
    connect(m_window, &QQuickWindow::frameSwapped, this, &FloatingOverlayWindowController::onFrameSwapped,
            Qt::DirectConnection);
    return true;
}

void FloatingOverlayWindowController::show()
{
    m_presenting.start();
    if (m_deps.focus)
        m_deps.focus->captureTargetBeforePresenting();
    if (m_deps.store)
        m_deps.store->resignSearchFocus();
    if (!ensureWindow())
        return;
    centerOnScreen();
    m_awaitingFrame = true;
    m_window->show();
    if (m_deps.windowSupport)
        m_deps.windowSupport->activate(*m_window);
    else
        m_window->requestActivate();
}

void FloatingOverlayWindowController::onFrameSwapped()
{
    if (!m_awaitingFrame)
        return;
    m_awaitingFrame = false;
    const qint64 elapsed = m_presenting.nsecsElapsed();
    // The window manager ignores an activation sent before it managed the window; by the first frame
    // it has, so ask again unless the window has the keyboard already.
    QMetaObject::invokeMethod(
        this,
        [this, elapsed] {
            if (m_window && !m_window->isActive() && m_deps.windowSupport)
                m_deps.windowSupport->activate(*m_window);
            Q_EMIT presented(elapsed);
            // Building the scene leaves megabytes of compiler and layout scratch freed but resident.
            if (!m_memoryGivenBack) {
                m_memoryGivenBack = true;
                QTimer::singleShot(500, this, [] { FreedMemory::giveBack(); });
            }
        },
        Qt::QueuedConnection);
}

void FloatingOverlayWindowController::hide()
{
    if (m_window)
        m_window->hide();
}

void FloatingOverlayWindowController::toggle()
{
    if (m_window && m_window->isVisible())
        hide();
    else
        show();
}

void FloatingOverlayWindowController::centerOnScreen()
{
    if (!m_window)
        return;
    const int width = m_window->width() > 0 ? m_window->width() : 800;
    const int height = m_window->height() > 0 ? m_window->height() : 500;
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        screen = m_window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    m_window->setGeometry(area.center().x() - width / 2, area.center().y() - height / 2, width, height);
}

// The history window and the tray popover; not the preferences window nor a dialog, which keep
// their own keys and are never closed unanswered.
bool FloatingOverlayWindowController::isMainInterfaceVisible() const
{
    return (m_window && m_window->isVisible()) || (m_deps.popoverVisible && m_deps.popoverVisible());
}

void FloatingOverlayWindowController::dismissMainInterface()
{
    if (m_deps.dismissPopover)
        m_deps.dismissPopover();
    hide();
}

bool FloatingOverlayWindowController::otherTextInputFocused() const
{
    if (!m_window || !m_window->isActive())
        return false;
    const QQuickItem *item = m_window->activeFocusItem();
    if (!item || item->objectName() == QStringLiteral("searchField"))
        return false;
    return item->inherits("QQuickTextInput") || item->inherits("QQuickTextEdit");
}

} // namespace Vexilo

namespace Vexilo {

bool FloatingOverlayWindowController::popupOpen() const
{
    if (!m_window || !m_window->isActive())
        return false;
    for (const QQuickItem *item = m_window->activeFocusItem(); item; item = item->parentItem()) {
        if (item->inherits("QQuickPopupItem"))
            return true;
    }
    return false;
}

} // namespace Vexilo
