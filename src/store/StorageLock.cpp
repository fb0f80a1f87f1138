// SPDX-License-Identifier: MIT
#include "StorageLock.h"

#include <QDir>

namespace Vexilo {

StorageLock::StorageLock(const QString &storageDirectory)
    : m_directory(storageDirectory)
    , m_lock(std::make_unique<QLockFile>(storageDirectory + QStringLiteral("/vexilo.lock")))
{
    // Never stale by age: the owner may run for weeks. A dead owner is detected by its process id.
    m_lock->setStaleLockTime(0);
}

bool StorageLock::tryLock()
{
    QDir().mkpath(m_directory);
    return m_lock->tryLock(0);
}

bool StorageLock::isLocked() const
{
    return m_lock->isLocked();
}

QString StorageLock::holderDescription() const
{
    qint64 pid = 0;
    QString host;
    QString app;
    if (m_lock->getLockInfo(&pid, &host, &app))
        return QStringLiteral("process %1 on %2").arg(pid).arg(host);
    return QStringLiteral("another process");
}

QString StorageLock::errorString() const
{
    switch (m_lock->error()) {
    case QLockFile::NoError:
        return {};
    case QLockFile::LockFailedError:
        return QStringLiteral("The history in %1 is in use by %2.").arg(m_directory, holderDescription());
    case QLockFile::PermissionError:
        return QStringLiteral("Cannot create the lock file in %1: permission denied.").arg(m_directory);
    case QLockFile::UnknownError:
        break;
    }
    return QStringLiteral("Cannot lock the history in %1.").arg(m_directory);
}

} // namespace Vexilo
