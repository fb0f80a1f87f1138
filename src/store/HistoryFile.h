// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"
#include "LogSink.h"

#include <QList>

namespace Vexilo::HistoryFile {

struct LoadResult
{
    QList<ClipItem> items;
    bool existed = false;
    // Where a file that did not decode whole was moved, so that no save ever overwrites it.
    QString preservedPath;
    // Set, with nothing logged, when a history exists but cannot be read at all:
    // "<path>: <the system's reason>". Nothing may then be written over it.
    QString unreadable;
};

// Why an existing history cannot be read ("<path>: <the system's reason>": permission denied, a
// folder in its place, no file descriptors left...), or nothing when it can be read or is absent.
[[nodiscard]] std::optional<QString> unreadableReason(const QString &path);

// Reads the history. A file that does not decode whole is moved aside to
// "history.json.corrupt-<UTC timestamp>" before anything can be written over it; the records of it
// that do decode are kept. A file that cannot be read at all is left alone and reported.
[[nodiscard]] LoadResult load(const QString &path, const LogSink &log);

// Encodes and writes the history atomically. Returns an error description, empty on success.
[[nodiscard]] QString write(const QString &path, const QList<ClipItem> &items);
// Writes bytes atomically: a crash leaves the old file or the new one, never half of one.
[[nodiscard]] QString writeAtomically(const QString &path, const QByteArray &bytes);

// Image file names come from the file, so they are trusted only as bare names inside the images folder.
[[nodiscard]] bool isSafeImageFileName(const QString &name);

} // namespace Vexilo::HistoryFile
