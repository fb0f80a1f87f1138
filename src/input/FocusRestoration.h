// SPDX-License-Identifier: MIT
#pragma once

#include "RunningApplication.h"

#include <QObject>

namespace Vexilo {

class Workspace;

// Remembers the last application other than this one that came to the front, so that a paste can
// go back to it after the HUD or the popover took the focus.
class FocusRestoration : public QObject
{
    Q_OBJECT

public:
    explicit FocusRestoration(Workspace *workspace, QObject *parent = nullptr);

    // Watches application activations; a second start() keeps the one watch it has.
    void start();
    void stop();
    [[nodiscard]] bool isObserving() const { return bool(m_observer); }

    // Remembers the frontmost application unless it is this one. Called before the HUD is presented.
    void captureTargetBeforePresenting();

    // The application to return to; never this application. Replaced, never cleared.
    [[nodiscard]] const std::optional<RunningApplication> &targetApplication() const { return m_target; }

    // Same identifier as this application's; two absent identifiers count as equal.
    [[nodiscard]] bool isOwnApplication(const RunningApplication &application) const;

Q_SIGNALS:
    void targetApplicationChanged();

private:
    void applicationActivated(const RunningApplication &application);
    void setTarget(const RunningApplication &application);

    Workspace *m_workspace;
    std::optional<RunningApplication> m_target;
    QMetaObject::Connection m_observer;
};

} // namespace Vexilo
