// SPDX-License-Identifier: MIT
#include "X11Workspace.h"

#include "DesktopFiles.h"
#include "X11Atoms.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace Vexilo {

namespace {

const QByteArray activeWindowAtom = QByteArrayLiteral("_NET_ACTIVE_WINDOW");
// Source indication "pager": the window manager then activates without focus-stealing checks.
constexpr quint32 pagerSource = 2;

} // namespace

X11Workspace::X11Workspace(const X11Atoms *atoms, const DesktopFiles *desktopFiles, QObject *parent)
    : DesktopWorkspace(desktopFiles, parent)
    , m_atoms(atoms)
{
    m_atoms->prefetch({activeWindowAtom, QByteArrayLiteral("_NET_WM_PID"), QByteArrayLiteral("_NET_WM_NAME"),
                       QByteArrayLiteral("UTF8_STRING")});
    // Add property changes to whatever Qt already listens to on the root window.
    xcb_connection_t *connection = m_atoms->connection();
    const xcb_window_t root = m_atoms->rootWindow();
    xcb_get_window_attributes_reply_t *attributes =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, root), nullptr);
    const quint32 mask = (attributes ? attributes->your_event_mask : 0) | XCB_EVENT_MASK_PROPERTY_CHANGE;
    std::free(attributes);
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    m_lastActiveWindow = activeWindow();
    if (const auto application = applicationForWindow(m_lastActiveWindow))
        m_lastActiveProcess = application->processId;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11Workspace::~X11Workspace()
{
    if (auto *application = QCoreApplication::instance())
        application->removeNativeEventFilter(this);
}

bool X11Workspace::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto *notify = static_cast<const xcb_property_notify_event_t *>(message);
    if (notify->window != m_atoms->rootWindow() || notify->atom != m_atoms->atom(activeWindowAtom))
        return false;
    // Read the property outside of Qt's event dispatch, once for a burst of changes.
    if (!m_checkScheduled) {
        m_checkScheduled = true;
        QMetaObject::invokeMethod(this, &X11Workspace::checkActiveWindow, Qt::QueuedConnection);
    }
    return false;
}

void X11Workspace::checkActiveWindow()
{
    m_checkScheduled = false;
    const quint64 window = activeWindow();
    // The window manager clears the property for a moment between two windows.
    if (window == 0)
        return;
    const auto application = applicationForWindow(window);
    const qint64 process = application ? application->processId : 0;
    // X reuses the ids of closed windows: the same id with another process is another window.
    if (window == m_lastActiveWindow && process == m_lastActiveProcess)
        return;
    m_lastActiveWindow = window;
    m_lastActiveProcess = process;
    if (application)
        Q_EMIT applicationActivated(*application);
}

quint64 X11Workspace::activeWindow() const
{
    return m_atoms->property32(m_atoms->rootWindow(), m_atoms->atom(activeWindowAtom), XCB_ATOM_WINDOW).value_or(0);
}

std::optional<RunningApplication> X11Workspace::frontmostApplication() const
{
    const quint64 window = activeWindow();
    if (window == 0)
        return std::nullopt;
    return applicationForWindow(window);
}

std::optional<RunningApplication> X11Workspace::applicationForWindow(quint64 windowId) const
{
    const auto window = xcb_window_t(windowId);
    if (!m_atoms->windowExists(window))
        return std::nullopt;
    RunningApplication application;
    application.windowId = windowId;
    application.processId =
        m_atoms->property32(window, m_atoms->atom(QByteArrayLiteral("_NET_WM_PID")), XCB_ATOM_CARDINAL).value_or(0);
    if (application.processId == QCoreApplication::applicationPid()) {
        application.bundleId = ownBundleIdentifier();
        application.name = QGuiApplication::applicationDisplayName();
        return application;
    }
    const auto windowClass = m_atoms->windowClass(window);
    const QString className = windowClass ? windowClass->second : QString();
    const QString instanceName = windowClass ? windowClass->first : QString();
    const auto entry = desktopFiles() ? desktopFiles()->entryForWindowClass(className, instanceName) : std::nullopt;
    if (entry)
        application.bundleId = entry->id;
    else if (!className.isEmpty())
        application.bundleId = className;
    else if (!instanceName.isEmpty())
        application.bundleId = instanceName;

    // The class names the application; the window title is the last resort.
    if (entry && !entry->name.isEmpty())
        application.name = entry->name;
    else if (!className.isEmpty())
        application.name = className;
    else if (auto title = m_atoms->textProperty(window, m_atoms->atom(QByteArrayLiteral("_NET_WM_NAME"))))
        application.name = *title;
    else if (auto legacyTitle = m_atoms->textProperty(window, XCB_ATOM_WM_NAME))
        application.name = *legacyTitle;
    return application;
}

QStringList X11Workspace::runningApplicationIds() const
{
    const auto clients =
        m_atoms->property(m_atoms->rootWindow(), m_atoms->atom(QByteArrayLiteral("_NET_CLIENT_LIST")), XCB_ATOM_WINDOW);
    if (!clients)
        return {};
    QStringList ids;
    const QString own = ownBundleIdentifier();
    for (qsizetype offset = 0; offset + 4 <= clients->size(); offset += 4) {
        quint32 window = 0;
        std::memcpy(&window, clients->constData() + offset, sizeof window);
        const auto application = applicationForWindow(window);
        if (application && application->bundleId && !application->bundleId->isEmpty() && *application->bundleId != own)
            ids.append(*application->bundleId);
    }
    ids.sort();
    ids.removeDuplicates();
    return ids;
}

bool X11Workspace::isTerminated(const RunningApplication &application) const
{
    if (application.windowId == 0 && application.processId <= 0)
        return true;
    if (application.windowId != 0 && !m_atoms->windowExists(xcb_window_t(application.windowId)))
        return true;
    if (application.processId > 0 && ::kill(pid_t(application.processId), 0) != 0 && errno == ESRCH)
        return true;
    return false;
}

bool X11Workspace::activate(const RunningApplication &application)
{
    if (application.windowId == 0 || isTerminated(application))
        return false;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(application.windowId);
    event.type = m_atoms->atom(activeWindowAtom);
    event.data.data32[0] = pagerSource;
    event.data.data32[1] = XCB_CURRENT_TIME;
    event.data.data32[2] = xcb_window_t(activeWindow());
    xcb_send_event(m_atoms->connection(), false, m_atoms->rootWindow(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(m_atoms->connection());
    return true;
}

} // namespace Vexilo
