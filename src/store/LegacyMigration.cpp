// SPDX-License-Identifier: MIT
#include "LegacyMigration.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace Vexilo::LegacyMigration {

namespace {

// Copies a file or a folder with all its contents. Returns an error description, empty on success.
QString copyEntry(const QFileInfo &source, const QString &destination)
{
    if (source.isDir() && !source.isSymLink()) {
        if (!QDir().mkpath(destination))
            return QStringLiteral("Could not create the folder %1").arg(destination);
        const QDir dir(source.absoluteFilePath());
        const auto entries =
            dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo &entry : entries) {
            const QString error = copyEntry(entry, destination + u'/' + entry.fileName());
            if (!error.isEmpty())
                return error;
        }
        return {};
    }
    QFile file(source.absoluteFilePath());
    if (!file.copy(destination))
        return QStringLiteral("Could not copy %1 to %2: %3")
            .arg(source.absoluteFilePath(), destination, file.errorString());
    return {};
}

} // namespace

void migrateLegacyStorageIfNeeded(const StoragePaths &paths, const LogSink &log)
{
    if (paths.legacyDirectory.isEmpty())
        return;
    const QFileInfo legacy(paths.legacyDirectory);
    const QFileInfo storage(paths.storageDirectory);
    if (QDir::cleanPath(legacy.absoluteFilePath()) == QDir::cleanPath(storage.absoluteFilePath()))
        return;
    if (!legacy.exists())
        return;
    if (QFileInfo::exists(paths.historyFile()))
        return;

    auto fail = [&log](const QString &error) {
        log(QStringLiteral("Vexilo: Failed to migrate legacy Quillbox storage: ") + error);
    };
    if (!QDir().mkpath(paths.storageDirectory)) {
        fail(QStringLiteral("Could not create the folder %1").arg(paths.storageDirectory));
        return;
    }
    const QDir legacyDir(paths.legacyDirectory);
    if (!legacyDir.isReadable()) {
        fail(QStringLiteral("Could not read the folder %1").arg(paths.legacyDirectory));
        return;
    }
    const auto entries =
        legacyDir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString destination = paths.storageDirectory + u'/' + entry.fileName();
        if (QFileInfo::exists(destination) || QFileInfo(destination).isSymLink())
            continue;
        const QString error = copyEntry(entry, destination);
        if (!error.isEmpty()) {
            fail(error);
            return;
        }
    }
}

} // namespace Vexilo::LegacyMigration
