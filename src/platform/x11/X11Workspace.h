// SPDX-License-Identifier: MIT
#pragma once

#include "DesktopWorkspace.h"

#include <QAbstractNativeEventFilter>

namespace Vexilo {

class X11Atoms;

// The desktop as an EWMH window manager describes it: the active window, its WM_CLASS and process,
// the installed applications from their desktop files. Main thread only.
class X11Workspace
    : public DesktopWorkspace
    , public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    // Both must outlive the workspace. Watches the root window from construction on.
    X11Workspace(const X11Atoms *atoms, const DesktopFiles *desktopFiles, QObject *parent = nullptr);
    ~X11Workspace() override;

    [[nodiscard]] std::optional<RunningApplication> frontmostApplication() const override;
    [[nodiscard]] bool isTerminated(const RunningApplication &application) const override;
    bool activate(const RunningApplication &application) override;
    [[nodiscard]] QStringList runningApplicationIds() const override;

    // The application a top-level client window belongs to; absent when the window is gone.
    [[nodiscard]] std::optional<RunningApplication> applicationForWindow(quint64 windowId) const;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    [[nodiscard]] quint64 activeWindow() const;
    void checkActiveWindow();

    const X11Atoms *m_atoms;
    quint64 m_lastActiveWindow = 0;
    qint64 m_lastActiveProcess = 0;
    bool m_checkScheduled = false;
};

} // namespace Vexilo
