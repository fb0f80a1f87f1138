// SPDX-License-Identifier: MIT
#pragma once

#include "DesktopWorkspace.h"
#include "WaylandConnection.h"

#include <QHash>
#include <memory>

struct zwlr_foreign_toplevel_handle_v1;
struct zwlr_foreign_toplevel_manager_v1;

namespace Vexilo {

class DesktopFiles;

// The windows of a wlroots-style compositor through wlr foreign-toplevel management: which one is
// active, bringing one back, whether it is still open. The identifier of an application is its
// app_id resolved through the desktop files. Main thread only.
class WaylandWorkspace : public DesktopWorkspace
{
    Q_OBJECT

public:
    // Null when there is no Wayland display or it lacks the protocol. `desktopFiles` must outlive
    // the workspace.
    [[nodiscard]] static std::unique_ptr<WaylandWorkspace> create(const DesktopFiles *desktopFiles, LogSink log = {},
                                                                  const QString &displayName = {});
    ~WaylandWorkspace() override;

    [[nodiscard]] std::optional<RunningApplication> frontmostApplication() const override;
    [[nodiscard]] bool isTerminated(const RunningApplication &application) const override;
    bool activate(const RunningApplication &application) override;
    [[nodiscard]] QString ownBundleIdentifier() const override;
    [[nodiscard]] QStringList runningApplicationIds() const override;

    // Waits for the compositor to report its current windows; for callers that need them at once.
    bool synchronise();

private:
    struct Toplevel
    {
        quint64 id = 0;
        QString appId;
        QString title;
        bool activated = false;
        // What the next `done` makes current.
        QString pendingAppId;
        QString pendingTitle;
        bool pendingActivated = false;
    };
    struct Listeners;

    WaylandWorkspace(std::unique_ptr<WaylandConnection> connection, zwlr_foreign_toplevel_manager_v1 *manager,
                     const DesktopFiles *desktopFiles);
    void onToplevel(zwlr_foreign_toplevel_handle_v1 *handle);
    void onDone(zwlr_foreign_toplevel_handle_v1 *handle);
    void onClosed(zwlr_foreign_toplevel_handle_v1 *handle);
    [[nodiscard]] RunningApplication applicationFor(const Toplevel &toplevel) const;

    std::unique_ptr<WaylandConnection> m_connection;
    zwlr_foreign_toplevel_manager_v1 *m_manager = nullptr;
    QHash<zwlr_foreign_toplevel_handle_v1 *, Toplevel> m_toplevels;
    zwlr_foreign_toplevel_handle_v1 *m_active = nullptr;
    quint64 m_nextId = 1;
};

} // namespace Vexilo
