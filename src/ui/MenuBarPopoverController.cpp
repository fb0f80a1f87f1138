// SPDX-License-Identifier: MIT
#include "MenuBarPopoverController.h"

#include "OverlayWindowSupport.h"
#include "SceneEngine.h"

#include <QCursor>
#include <QGuiApplication>
#include <QQmlEngine>
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
{ }

MenuBarPopoverController::~MenuBarPopoverController()
{
    delete m_window.data();
}

bool MenuBarPopoverController::ensureWindow()
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
        m_deps.log(QStringLiteral("Vexilo: The tray popover could not be built: %1").arg(error));
        return false;
    }
    m_window->setTitle(QStringLiteral("Vexilo"));
    if (m_deps.windowSupport)
        m_deps.windowSupport->prepare(*m_window);
    connect(m_window, &QWindow::activeChanged, this, [this] {
        if (m_window && m_window->isVisible() && !m_window->isActive() && !m_awaitingFrame) {
            m_sinceAutoDismiss.start();
            m_window->hide();
        }
    });
    // The height follows the content; keep the edge next to the tray where it is.
    connect(m_window, &QWindow::heightChanged, this, [this] {
        if (m_window && m_window->isVisible())
            place(m_anchor);
    });
    connect(
        m_window, &QQuickWindow::frameSwapped, this,
        [this] {
            if (!m_awaitingFrame)
                return;
            m_awaitingFrame = false;
            const qint64 elapsed = m_presenting.nsecsElapsed();
            QMetaObject::invokeMethod(
                this,
                [this, elapsed] {
                    if (m_window && !m_window->isActive() && m_deps.windowSupport)
                        m_deps.windowSupport->activate(*m_window);
                    Q_EMIT presented(elapsed);
                },
                Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    return true;
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
    m_presenting.start();
    if (!ensureWindow())
        return;
    // Each opening starts over: All tab, empty search, fresh ages.
    if (QObject *popover = m_window->property("popover").value<QObject *>())
        QMetaObject::invokeMethod(popover, "reset");
    m_anchor = anchor.isValid() ? anchor : QRect(QCursor::pos(), QSize(1, 1));
    place(m_anchor);
    m_awaitingFrame = true;
    m_window->show();
    if (m_deps.windowSupport)
        m_deps.windowSupport->activate(*m_window);
    else
        m_window->requestActivate();
}

void MenuBarPopoverController::dismiss()
{
    if (m_window)
        m_window->hide();
}

bool MenuBarPopoverController::isVisible() const
{
    return m_window && m_window->isVisible();
}

void MenuBarPopoverController::place(const QRect &anchor)
{
    QScreen *screen = QGuiApplication::screenAt(anchor.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const int height = m_window->height() > 0 ? m_window->height() : 400;
    m_window->setGeometry(placement(anchor, QSize(width, height), screen->availableGeometry()));
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
