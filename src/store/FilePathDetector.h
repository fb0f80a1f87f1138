// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

namespace Vexilo {

struct FilePathDetection
{
    bool isFileList = false;
    QStringList paths;
};

// The one test of copied text that asks the file system, so it lives with the store rather than with
// the pure tests of the model.
namespace ContentDetector {

// Keeps the lines that name something existing: absolute paths, "~" paths (expanded to
// homeDirectory) and file: URLs (as local paths). A relative line is never looked up: copied from a
// chat or a terminal it names nothing that can be found again later.
[[nodiscard]] FilePathDetection detectFilePath(QStringView text, const QString &homeDirectory = QDir::homePath());

} // namespace ContentDetector
} // namespace Vexilo
