// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"
#include "LogSink.h"

#include <QList>
#include <QMutex>
#include <QThread>
#include <QUuid>

namespace Vexilo {

// The changes made since the history file was last written, one JSON line each in a file beside
// it: a crash between a change and the next full write of the file loses nothing, however large
// the history. Lines are written on a thread of their own, so that a long write of a large history
// file never holds a change back; once a history file holding the changes is on disk, their lines
// go.
class HistoryJournal
{
public:
    HistoryJournal(const QString &path, LogSink log);
    // Waits for the lines still being written.
    ~HistoryJournal();
    HistoryJournal(const HistoryJournal &) = delete;
    HistoryJournal &operator=(const HistoryJournal &) = delete;

    // Each returns the change's number; numbers grow with every change. Main thread.
    quint64 recordAdded(const ClipItem &item);
    quint64 recordUpdated(const ClipItem &item);
    quint64 recordRemoved(const QList<QUuid> &ids);
    [[nodiscard]] quint64 lastSequence() const { return m_sequence; }

    // The history file now on disk holds every change up to `sequence` (and the lines the file
    // held before this journal was opened): their lines are dropped. Any thread.
    void discardUpTo(quint64 sequence);
    // Blocks until every line asked for is written.
    void waitForIdle();

    struct Replay
    {
        int changes = 0; // lines applied
        QString problem; // why reading stopped early, or why the journal could not be read at all
        bool unreadable = false; // nothing could be read: the history must not be written over
    };
    // Applies the journal at path to items, newest clip first as the store keeps them. Reading stops
    // at the first line that is not whole: the last change a crash cut short.
    static Replay replay(const QString &path, QList<ClipItem> &items);

private:
    struct Line
    {
        quint64 sequence;
        qint64 end; // offset after the line in the file
    };
    void append(quint64 sequence, const QByteArray &prefix, const ClipItem &item, const QByteArray &suffix);
    void dropLines(quint64 sequence);

    QString m_path;
    LogSink m_log;
    quint64 m_sequence = 0; // main thread
    QThread m_thread;
    QObject *m_worker = nullptr;
    // Only touched on the journal's thread.
    QList<Line> m_lines;
    bool m_failing = false;
};

} // namespace Vexilo
