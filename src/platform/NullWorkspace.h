// SPDX-License-Identifier: MIT
#pragma once

#include "Workspace.h"

namespace Vexilo {

// The workspace where the desktop tells nothing about other windows (Wayland, offscreen): no
// application is ever in front, addresses and files still open through Qt.
class NullWorkspace : public Workspace
{
    Q_OBJECT

public:
    using Workspace::Workspace;

    std::optional<RunningApplication> frontmostApplication() const override { return std::nullopt; }
    bool isTerminated(const RunningApplication &) const override { return true; }
    bool activate(const RunningApplication &) override { return false; }
    QString ownBundleIdentifier() const override { return QStringLiteral("vexilo"); }
    std::optional<QString> applicationPath(const QString &) const override { return std::nullopt; }
    QIcon iconForApplication(const QString &) const override { return {}; }
    bool openUrl(const QUrl &url) override;
    bool revealFile(const QString &path) override;
};

} // namespace Vexilo
