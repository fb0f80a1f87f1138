// SPDX-License-Identifier: MIT
#include "FocusRestoration.h"

#include "Workspace.h"

namespace Vexilo {

FocusRestoration::FocusRestoration(Workspace *workspace, QObject *parent)
    : QObject(parent)
    , m_workspace(workspace)
{
    Q_ASSERT(m_workspace);
}

void FocusRestoration::start()
{
    if (m_observer)
        return;
    m_observer = connect(m_workspace, &Workspace::applicationActivated, this, &FocusRestoration::applicationActivated);
}

void FocusRestoration::stop()
{
    if (!m_observer)
        return;
    disconnect(m_observer);
    m_observer = {};
}

void FocusRestoration::captureTargetBeforePresenting()
{
    const std::optional<RunningApplication> frontmost = m_workspace->frontmostApplication();
    if (frontmost && !isOwnApplication(*frontmost))
        setTarget(*frontmost);
}

bool FocusRestoration::isOwnApplication(const RunningApplication &application) const
{
    const QString own = m_workspace->ownBundleIdentifier();
    const std::optional<QString> ownId = own.isEmpty() ? std::nullopt : std::optional<QString>(own);
    return application.bundleId == ownId;
}

void FocusRestoration::applicationActivated(const RunningApplication &application)
{
    if (!isOwnApplication(application))
        setTarget(application);
}

void FocusRestoration::setTarget(const RunningApplication &application)
{
    if (m_target == application)
        return;
    m_target = application;
    Q_EMIT targetApplicationChanged();
}

} // namespace Vexilo
