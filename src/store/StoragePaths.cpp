// SPDX-License-Identifier: MIT
#include "StoragePaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Vexilo {

QString StoragePaths::historyFile() const
{
    return storageDirectory + QStringLiteral("/history.json");
}

QString StoragePaths::journalFile() const
{
    return storageDirectory + QStringLiteral("/history.journal");
}

QString StoragePaths::imagesDirectory() const
{
    return storageDirectory + QStringLiteral("/images");
}

StoragePaths StoragePaths::forStorageDirectory(const QString &storageDirectory)
{
    const QString clean = QDir::cleanPath(QFileInfo(storageDirectory).absoluteFilePath());
    QDir parent(clean);
    parent.cdUp();
    return {clean, parent.absoluteFilePath(QStringLiteral("Quillbox"))};
}

StoragePaths StoragePaths::userDefault()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return forStorageDirectory(base + QStringLiteral("/Vexilo"));
}

} // namespace Vexilo
