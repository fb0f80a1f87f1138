// SPDX-License-Identifier: MIT
#include "MenuBarPopoverController.h"

#include "OverlayWindowSupport.h"
#include "SceneWindow.h"

#include <QCursor>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QScreen>

namespace Vexilo {

namespace {
const QUrl sceneUrl(QStringLiteral("qrc:/Vexilo/views/MenuBarPopoverWindow.qml"));
// A click on the tray icon first takes the keyboard from the open popover, which closes it; the
// click itself arrives just after and must not open it again.
constexpr qint64 sameClickMs = 400;
constexpr int gap = 4;
} // namespace

MenuBarPopoverController::MenuBarPopoverController(Dependencies dependencies, QObject *parent)
    : QObject(parent)
    , m_deps(std::move(dependencies))
    , m_scene(std::make_unique<SceneWindow>(*m_deps.scene, sceneUrl, QStringLiteral("The tray popover"),
                                            m_deps.createViewModels, m_deps.log))
{
    connect(m_scene.get(), &SceneWindow::presented, this, [this](qint64 nanoseconds) {
        if (QQuickWindow *window = m_scene->window(); window && !window->isActive() && m_deps.windowSupport)
            m_deps.windowSupport->activate(*window);
        Q_EMIT presented(nanoseconds);
    });
}

MenuBarPopoverController::~MenuBarPopoverController() = default;

QQuickWindow *MenuBarPopoverController::window() const
{
    return m_scene->window();
}

QQuickWindow *MenuBarPopoverController::ensureWindow()
{
    bool made = false;
    QQuickWindow *window = m_scene->ensure(&made);
    if (!made)
        return window;
    window->setTitle(QStringLiteral("Vexilo"));
    if (m_deps.windowSupport)
        m_deps.windowSupport->prepare(*window);
    connect(window, &QWindow::activeChanged, this, [this, window] {
        if (window->isVisible() && !window->isActive() && !m_scene->isAwaitingFrame()) {
            m_sinceAutoDismiss.start();
            window->hide();
        }
    });
    // The height follows the content; keep the edge next to the tray where it is.
    connect(window, &QWindow::heightChanged, this, [this, window] {
        if (window->isVisible())
            place(*window, m_anchor);
    });
    return window;
}

void MenuBarPopoverController::toggle(const QRect &anchor)
{
    if (isVisible()) {
        dismiss();
        return;
    }
    if (m_sinceAutoDismiss.isValid() && m_sinceAutoDismiss.elapsed() < sameClickMs) {
        m_sinceAutoDismiss.invalidate();
        return;
    }
    show(anchor);
}

void MenuBarPopoverController::show(const QRect &anchor)
{
    m_scene->presenting();
    QQuickWindow *window = ensureWindow();
    if (!window)
        return;
    // Each opening starts over: All tab, empty search, fresh ages.
    if (QObject *popover = window->property("popover").value<QObject *>())
        QMetaObject::invokeMethod(popover, "reset");
    m_anchor = anchor.isValid() ? anchor : QRect(QCursor::pos(), QSize(1, 1));
    place(*window, m_anchor);
    window->show();
    if (m_deps.windowSupport)
        m_deps.windowSupport->activate(*window);
    else
        window->requestActivate();
}

void MenuBarPopoverController::dismiss()
{
    if (QQuickWindow *window = m_scene->window())
        window->hide();
}

bool MenuBarPopoverController::isVisible() const
{
    const QQuickWindow *window = m_scene->window();
    return window && window->isVisible();
}

void MenuBarPopoverController::place(QQuickWindow &window, const QRect &anchor)
{
    QScreen *screen = QGuiApplication::screenAt(anchor.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const int height = window.height() > 0 ? window.height() : 400;
    window.setGeometry(placement(anchor, QSize(width, height), screen->availableGeometry()));
}

QRect MenuBarPopoverController::placement(const QRect &anchor, const QSize &size, const QRect &available)
{
    const bool below = anchor.center().y() < available.center().y();
    int x = anchor.center().x() - size.width() / 2;
    int y = below ? anchor.bottom() + 1 + gap : anchor.top() - gap - size.height();
    x = std::clamp(x, available.left(), std::max(available.left(), available.right() + 1 - size.width()));
    y = std::clamp(y, available.top(), std::max(available.top(), available.bottom() + 1 - size.height()));
    return {QPoint(x, y), size};
}

} // namespace Vexilo
