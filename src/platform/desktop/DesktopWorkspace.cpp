// SPDX-License-Identifier: MIT
#include "DesktopWorkspace.h"

#include "ApplicationId.h"
#include "DesktopFiles.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace Vexilo {

namespace {

constexpr int showItemsTimeoutMs = 5000;

// Without an address or the standard socket, asking for the session bus would only try to start one.
bool sessionBusExpected()
{
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtimeDir.isEmpty() && QFileInfo::exists(runtimeDir + QStringLiteral("/bus"));
}

} // namespace

DesktopWorkspace::DesktopWorkspace(const DesktopFiles *desktopFiles, QObject *parent)
    : Workspace(parent)
    , m_desktopFiles(desktopFiles)
{ }

QString DesktopWorkspace::ownBundleIdentifier() const
{
    return applicationId();
}

std::optional<QString> DesktopWorkspace::applicationPath(const QString &bundleId) const
{
    if (!m_desktopFiles)
        return std::nullopt;
    if (const auto entry = m_desktopFiles->entryById(bundleId))
        return entry->path;
    return std::nullopt;
}

QIcon DesktopWorkspace::iconForApplication(const QString &applicationPath) const
{
    const auto entry =
        m_desktopFiles ? m_desktopFiles->entryForPath(applicationPath) : DesktopFiles::parse(applicationPath);
    if (!entry || entry->icon.isEmpty())
        return {};
    if (QDir::isAbsolutePath(entry->icon))
        return QIcon(entry->icon);
    return QIcon::fromTheme(entry->icon);
}

bool DesktopWorkspace::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

bool DesktopWorkspace::revealFile(const QString &path)
{
    const QFileInfo file(path);
    const QUrl folder = QUrl::fromLocalFile(file.absolutePath());
    if (!sessionBusExpected() || !QDBusConnection::sessionBus().isConnected())
        return QDesktopServices::openUrl(folder);

    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    message << QStringList{QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded)} << QString();
    // Asynchronous, so that a slow or missing file manager never holds up the caller.
    auto *watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(message, showItemsTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [folder](QDBusPendingCallWatcher *call) {
        if (call->isError())
            QDesktopServices::openUrl(folder);
        call->deleteLater();
    });
    return true;
}

} // namespace Vexilo
