// SPDX-License-Identifier: MIT
#include "WaylandWorkspace.h"

#include "DesktopFiles.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <QGuiApplication>
#include <wayland-client.h>

namespace Vexilo {

struct WaylandWorkspace::Listeners
{
    static const zwlr_foreign_toplevel_manager_v1_listener manager;
    static const zwlr_foreign_toplevel_handle_v1_listener handle;
};

const zwlr_foreign_toplevel_manager_v1_listener WaylandWorkspace::Listeners::manager = {
    .toplevel =
        [](void *data, zwlr_foreign_toplevel_manager_v1 *, zwlr_foreign_toplevel_handle_v1 *handle) {
            static_cast<WaylandWorkspace *>(data)->onToplevel(handle);
        },
    .finished = [](void *, zwlr_foreign_toplevel_manager_v1 *) {},
};

const zwlr_foreign_toplevel_handle_v1_listener WaylandWorkspace::Listeners::handle = {
    .title =
        [](void *data, zwlr_foreign_toplevel_handle_v1 *handle, const char *title) {
            static_cast<WaylandWorkspace *>(data)->m_toplevels[handle].pendingTitle = QString::fromUtf8(title);
        },
    .app_id =
        [](void *data, zwlr_foreign_toplevel_handle_v1 *handle, const char *appId) {
            static_cast<WaylandWorkspace *>(data)->m_toplevels[handle].pendingAppId = QString::fromUtf8(appId);
        },
    .output_enter = [](void *, zwlr_foreign_toplevel_handle_v1 *, wl_output *) {},
    .output_leave = [](void *, zwlr_foreign_toplevel_handle_v1 *, wl_output *) {},
    .state =
        [](void *data, zwlr_foreign_toplevel_handle_v1 *handle, wl_array *states) {
            bool activated = false;
            const auto *state = static_cast<const uint32_t *>(states->data);
            for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i)
                activated = activated || state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
            static_cast<WaylandWorkspace *>(data)->m_toplevels[handle].pendingActivated = activated;
        },
    .done = [](void *data,
               zwlr_foreign_toplevel_handle_v1 *handle) { static_cast<WaylandWorkspace *>(data)->onDone(handle); },
    .closed = [](void *data,
                 zwlr_foreign_toplevel_handle_v1 *handle) { static_cast<WaylandWorkspace *>(data)->onClosed(handle); },
    .parent = [](void *, zwlr_foreign_toplevel_handle_v1 *, zwlr_foreign_toplevel_handle_v1 *) {},
};

std::unique_ptr<WaylandWorkspace> WaylandWorkspace::create(const DesktopFiles *desktopFiles, LogSink log,
                                                           const QString &displayName)
{
    auto connection = WaylandConnection::open(displayName, QStringLiteral("Wayland windows: "), std::move(log));
    if (!connection)
        return nullptr;
    auto *manager = static_cast<zwlr_foreign_toplevel_manager_v1 *>(
        connection->bind(&zwlr_foreign_toplevel_manager_v1_interface, 3));
    if (!manager || !connection->seat()) {
        connection->say(QStringLiteral("the compositor offers no zwlr_foreign_toplevel_manager_v1 or no seat"));
        if (manager)
            zwlr_foreign_toplevel_manager_v1_destroy(manager);
        return nullptr;
    }
    std::unique_ptr<WaylandWorkspace> workspace(new WaylandWorkspace(std::move(connection), manager, desktopFiles));
    workspace->synchronise();
    return workspace;
}

WaylandWorkspace::WaylandWorkspace(std::unique_ptr<WaylandConnection> connection,
                                   zwlr_foreign_toplevel_manager_v1 *manager, const DesktopFiles *desktopFiles)
    : DesktopWorkspace(desktopFiles)
    , m_connection(std::move(connection))
    , m_manager(manager)
{
    zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &Listeners::manager, this);
    m_connection->dispatchOn(this);
}

WaylandWorkspace::~WaylandWorkspace()
{
    for (auto it = m_toplevels.keyBegin(); it != m_toplevels.keyEnd(); ++it)
        zwlr_foreign_toplevel_handle_v1_destroy(*it);
    zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
}

bool WaylandWorkspace::synchronise()
{
    return m_connection->roundtrip();
}

void WaylandWorkspace::onToplevel(zwlr_foreign_toplevel_handle_v1 *handle)
{
    Toplevel toplevel;
    toplevel.id = m_nextId++;
    m_toplevels.insert(handle, toplevel);
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &Listeners::handle, this);
}

void WaylandWorkspace::onDone(zwlr_foreign_toplevel_handle_v1 *handle)
{
    Toplevel &toplevel = m_toplevels[handle];
    toplevel.appId = toplevel.pendingAppId;
    toplevel.title = toplevel.pendingTitle;
    toplevel.activated = toplevel.pendingActivated;
    if (toplevel.activated && m_active != handle) {
        m_active = handle;
        Q_EMIT applicationActivated(applicationFor(toplevel));
    } else if (!toplevel.activated && m_active == handle) {
        m_active = nullptr;
    }
}

void WaylandWorkspace::onClosed(zwlr_foreign_toplevel_handle_v1 *handle)
{
    if (m_active == handle)
        m_active = nullptr;
    m_toplevels.remove(handle);
    zwlr_foreign_toplevel_handle_v1_destroy(handle);
}

RunningApplication WaylandWorkspace::applicationFor(const Toplevel &toplevel) const
{
    RunningApplication application;
    application.windowId = toplevel.id;
    const QString own = ownBundleIdentifier();
    if (toplevel.appId == own) {
        application.bundleId = own;
        application.name = QGuiApplication::applicationDisplayName();
        return application;
    }
    // Wayland's app_id is meant to be the desktop-file id; older toolkits put the window class there.
    const DesktopFiles *files = desktopFiles();
    auto entry = files && !toplevel.appId.isEmpty() ? files->entryById(toplevel.appId) : std::nullopt;
    if (!entry && files && !toplevel.appId.isEmpty())
        entry = files->entryForWindowClass(toplevel.appId);
    if (entry)
        application.bundleId = entry->id;
    else if (!toplevel.appId.isEmpty())
        application.bundleId = toplevel.appId;
    if (entry && !entry->name.isEmpty())
        application.name = entry->name;
    else if (!toplevel.appId.isEmpty())
        application.name = toplevel.appId;
    else if (!toplevel.title.isEmpty())
        application.name = toplevel.title;
    return application;
}

std::optional<RunningApplication> WaylandWorkspace::frontmostApplication() const
{
    if (!m_active)
        return std::nullopt;
    return applicationFor(m_toplevels.value(m_active));
}

bool WaylandWorkspace::isTerminated(const RunningApplication &application) const
{
    return std::none_of(m_toplevels.cbegin(), m_toplevels.cend(),
                        [&](const Toplevel &toplevel) { return toplevel.id == application.windowId; });
}

bool WaylandWorkspace::activate(const RunningApplication &application)
{
    for (auto it = m_toplevels.cbegin(); it != m_toplevels.cend(); ++it) {
        if (it->id == application.windowId && application.windowId != 0) {
            zwlr_foreign_toplevel_handle_v1_activate(it.key(), m_connection->seat());
            m_connection->flush();
            return true;
        }
    }
    return false;
}

QString WaylandWorkspace::ownBundleIdentifier() const
{
    // Qt gives our windows the desktop-file name as app_id.
    const QString name = QGuiApplication::desktopFileName();
    return name.isEmpty() ? DesktopWorkspace::ownBundleIdentifier() : name;
}

QStringList WaylandWorkspace::runningApplicationIds() const
{
    QStringList ids;
    const QString own = ownBundleIdentifier();
    for (const Toplevel &toplevel : m_toplevels) {
        const RunningApplication application = applicationFor(toplevel);
        if (application.bundleId && !application.bundleId->isEmpty() && *application.bundleId != own)
            ids.append(*application.bundleId);
    }
    ids.sort();
    ids.removeDuplicates();
    return ids;
}

} // namespace Vexilo
