// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"
#include "LogSink.h"

#include <QList>
#include <QThread>
#include <QUuid>

namespace Vexilo {

// The changes made since the history file was last written, one JSON line each, in numbered files
// beside it ("history.journal.<n>"): a crash between a change and the next full write of the file
// loses nothing, however large the history. Lines are written on a thread of their own, so that a
// long write of a large history file never holds a change back. When a snapshot of the history is
// taken for writing, later changes go to a new file; once the snapshot is on disk, the files before
// it are deleted, never rewritten.
class HistoryJournal
{
public:
    // `path` names the journal; its files are `path` followed by ".<n>".
    HistoryJournal(const QString &path, LogSink log);
    // Waits for the lines still being written.
    ~HistoryJournal();
    HistoryJournal(const HistoryJournal &) = delete;
    HistoryJournal &operator=(const HistoryJournal &) = delete;

    // Main thread.
    void recordAdded(const ClipItem &item);
    void recordUpdated(const ClipItem &item);
    void recordRemoved(const QList<QUuid> &ids);
    // A snapshot of the history is being taken: the changes recorded from now on go to a new file.
    // Returns the mark to hand to discardBefore() once that snapshot is on disk.
    [[nodiscard]] quint64 mark();

    // The snapshot taken at `mark` is on disk: the files of the changes it holds go. Any thread.
    void discardBefore(quint64 mark);
    // Blocks until every line asked for is written.
    void waitForIdle();

    struct Replay
    {
        int changes = 0; // lines applied
        QString problem; // why reading stopped early, or why the journal could not be read at all
        bool unreadable = false; // nothing could be read: the history must not be written over
    };
    // Applies the journal at path to items, newest clip first as the store keeps them, file by file.
    // Reading a file stops at the first line that is not whole: the last change a crash cut short.
    static Replay replay(const QString &path, QList<ClipItem> &items);

private:
    [[nodiscard]] static QList<quint64> fileNumbers(const QString &path);
    [[nodiscard]] QString fileName(quint64 number) const;
    void append(quint64 file, const QByteArray &prefix, const ClipItem &item, const QByteArray &suffix);
    void deleteBefore(quint64 file);

    QString m_path;
    LogSink m_log;
    quint64 m_file = 1; // the file changes go to now; main thread
    QThread m_thread;
    QObject *m_worker = nullptr;
    bool m_failing = false; // journal thread
};

} // namespace Vexilo
