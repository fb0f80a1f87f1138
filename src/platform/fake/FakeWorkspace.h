// SPDX-License-Identifier: MIT
#pragma once

#include "Workspace.h"

#include <QHash>

namespace Vexilo {

// A desktop in memory: tests say which application is in front, switch applications, quit them,
// and read back what the code under test activated, opened and revealed.
class FakeWorkspace : public Workspace
{
    Q_OBJECT

public:
    using Workspace::Workspace;

    // An application with this identifier and name; window ids are unique per call.
    [[nodiscard]] static RunningApplication makeApplication(const std::optional<QString> &bundleId,
                                                            const QString &name = {});

    // Puts an application in front without announcing it (or no application at all).
    void setFrontmostApplication(const std::optional<RunningApplication> &application);
    // The user switched to this application: it is in front and applicationActivated() is emitted.
    void switchTo(const RunningApplication &application);
    // The application quit: from now on it counts as terminated, and it leaves the front.
    void terminate(const RunningApplication &application);
    void setOwnBundleIdentifier(const QString &id) { m_ownBundleId = id; }
    void setActivationSucceeds(bool succeeds) { m_activationSucceeds = succeeds; }
    void addInstalledApplication(const QString &bundleId, const QString &path);

    [[nodiscard]] const QList<RunningApplication> &activations() const { return m_activations; }
    [[nodiscard]] const QList<QUrl> &openedUrls() const { return m_openedUrls; }
    [[nodiscard]] const QStringList &revealedFiles() const { return m_revealedFiles; }

    [[nodiscard]] std::optional<RunningApplication> frontmostApplication() const override { return m_frontmost; }
    [[nodiscard]] bool isTerminated(const RunningApplication &application) const override;
    // Records the request; on success the application comes to the front and is announced.
    bool activate(const RunningApplication &application) override;
    [[nodiscard]] QString ownBundleIdentifier() const override { return m_ownBundleId; }
    [[nodiscard]] std::optional<QString> applicationPath(const QString &bundleId) const override;
    [[nodiscard]] QIcon iconForApplication(const QString &applicationPath) const override;
    bool openUrl(const QUrl &url) override;
    bool revealFile(const QString &path) override;

private:
    std::optional<RunningApplication> m_frontmost;
    QList<RunningApplication> m_terminated;
    QString m_ownBundleId = QStringLiteral("vexilo");
    bool m_activationSucceeds = true;
    QHash<QString, QString> m_installed;
    QList<RunningApplication> m_activations;
    QList<QUrl> m_openedUrls;
    QStringList m_revealedFiles;
};

} // namespace Vexilo
