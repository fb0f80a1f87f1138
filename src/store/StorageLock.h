// SPDX-License-Identifier: MIT
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace Vexilo {

// Held by the one process that owns a storage folder, for as long as it runs, so that two
// processes never write one history. A lock left by a process that died is taken over.
class StorageLock
{
public:
    explicit StorageLock(const QString &storageDirectory);

    // Creates the folder if needed. False when another live process holds the lock.
    bool tryLock();
    [[nodiscard]] bool isLocked() const;
    // Who holds it, for the error message: "process 1234 on host".
    [[nodiscard]] QString holderDescription() const;
    [[nodiscard]] QString errorString() const;

private:
    QString m_directory;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace Vexilo
