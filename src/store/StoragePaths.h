// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace Vexilo {

// Where the store keeps its files. The legacy folder of the product's earlier name sits beside the
// storage folder and is only read, once, by the migration.
struct StoragePaths
{
    QString storageDirectory;
    QString legacyDirectory;

    [[nodiscard]] QString historyFile() const;
    // The changes since the history file was last written.
    [[nodiscard]] QString journalFile() const;
    [[nodiscard]] QString imagesDirectory() const;

    // storageDirectory itself, with the legacy folder "Quillbox" beside it.
    static StoragePaths forStorageDirectory(const QString &storageDirectory);
    // The user's real storage folder ("Vexilo" in the generic data location, ~/.local/share/Vexilo).
    static StoragePaths userDefault();
};

} // namespace Vexilo
