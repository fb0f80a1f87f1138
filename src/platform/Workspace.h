// SPDX-License-Identifier: MIT
#pragma once

#include "RunningApplication.h"

#include <QIcon>
#include <QObject>
#include <QUrl>

namespace Vexilo {

// The desktop around the application: which application is in front, bringing one back, icons,
// opening addresses and showing files.
class Workspace : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    [[nodiscard]] virtual std::optional<RunningApplication> frontmostApplication() const = 0;
    // True when the application's window is gone (it quit, or closed the window).
    [[nodiscard]] virtual bool isTerminated(const RunningApplication &application) const = 0;
    // Brings the application's window to the front; false when that cannot be done.
    virtual bool activate(const RunningApplication &application) = 0;
    // This application's own identifier, to recognise it in front.
    [[nodiscard]] virtual QString ownBundleIdentifier() const = 0;

    // The installed application with this identifier (its desktop file), when there is one.
    [[nodiscard]] virtual std::optional<QString> applicationPath(const QString &bundleId) const = 0;
    [[nodiscard]] virtual QIcon iconForApplication(const QString &applicationPath) const = 0;

    // The identifiers of the applications with a window open now, sorted, without this one; for a
    // user choosing which to exclude.
    [[nodiscard]] virtual QStringList runningApplicationIds() const { return {}; }

    virtual bool openUrl(const QUrl &url) = 0;
    // Shows the file selected in the file manager.
    virtual bool revealFile(const QString &path) = 0;

Q_SIGNALS:
    // Another window came to the front.
    void applicationActivated(const Vexilo::RunningApplication &application);
};

} // namespace Vexilo
