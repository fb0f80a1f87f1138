// SPDX-License-Identifier: MIT
#include "FakeWorkspace.h"

namespace Vexilo {

RunningApplication FakeWorkspace::makeApplication(const std::optional<QString> &bundleId, const QString &name)
{
    static quint64 nextWindow = 0x400000;
    RunningApplication application;
    application.bundleId = bundleId;
    application.name = name.isEmpty() ? bundleId : std::optional<QString>(name);
    application.windowId = ++nextWindow;
    application.processId = qint64(nextWindow & 0xFFFF);
    return application;
}

void FakeWorkspace::setFrontmostApplication(const std::optional<RunningApplication> &application)
{
    m_frontmost = application;
}

void FakeWorkspace::switchTo(const RunningApplication &application)
{
    m_frontmost = application;
    Q_EMIT applicationActivated(application);
}

void FakeWorkspace::terminate(const RunningApplication &application)
{
    if (!m_terminated.contains(application))
        m_terminated.append(application);
    if (m_frontmost == application)
        m_frontmost.reset();
}

void FakeWorkspace::addInstalledApplication(const QString &bundleId, const QString &path)
{
    m_installed.insert(bundleId, path);
}

bool FakeWorkspace::isTerminated(const RunningApplication &application) const
{
    return m_terminated.contains(application);
}

bool FakeWorkspace::activate(const RunningApplication &application)
{
    m_activations.append(application);
    if (!m_activationSucceeds || isTerminated(application))
        return false;
    switchTo(application);
    return true;
}

std::optional<QString> FakeWorkspace::applicationPath(const QString &bundleId) const
{
    const auto it = m_installed.constFind(bundleId);
    if (it == m_installed.constEnd())
        return std::nullopt;
    return *it;
}

QIcon FakeWorkspace::iconForApplication(const QString &applicationPath) const
{
    Q_UNUSED(applicationPath)
    return {};
}

bool FakeWorkspace::openUrl(const QUrl &url)
{
    m_openedUrls.append(url);
    return true;
}

bool FakeWorkspace::revealFile(const QString &path)
{
    m_revealedFiles.append(path);
    return true;
}

} // namespace Vexilo
