// SPDX-License-Identifier: MIT
#pragma once

#include "Workspace.h"

namespace Vexilo {

class DesktopFiles;

// What every freedesktop session offers whatever tells it about windows: installed applications
// from their desktop files, addresses through Qt, files shown by the file manager over D-Bus.
class DesktopWorkspace : public Workspace
{
    Q_OBJECT

public:
    // `desktopFiles` may be null (then files are read one by one) and must outlive the workspace.
    explicit DesktopWorkspace(const DesktopFiles *desktopFiles, QObject *parent = nullptr);

    [[nodiscard]] QString ownBundleIdentifier() const override;
    [[nodiscard]] std::optional<QString> applicationPath(const QString &bundleId) const override;
    [[nodiscard]] QIcon iconForApplication(const QString &applicationPath) const override;
    bool openUrl(const QUrl &url) override;
    bool revealFile(const QString &path) override;

protected:
    [[nodiscard]] const DesktopFiles *desktopFiles() const { return m_desktopFiles; }

private:
    const DesktopFiles *m_desktopFiles;
};

} // namespace Vexilo
