// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"
#include "LogSink.h"

#include <QMutex>
#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>
#include <optional>

namespace Vexilo {

class HistoryJournal;

// Encodes and writes history snapshots on one background thread, in submission order, so the main
// thread never waits for the disk. When writes fall behind, only the newest waiting snapshot is
// written: each one holds the whole history.
class HistoryWriter
{
public:
    // onWritten, when given, runs on context's thread after each snapshot was written and let go.
    // The journal, when given, is told which of its changes each written snapshot holds.
    HistoryWriter(const QString &historyFile, LogSink log, QObject *context = nullptr,
                  std::function<void()> onWritten = {}, HistoryJournal *journal = nullptr);
    ~HistoryWriter();

    // journalMark: the journal's mark taken with the snapshot, so that what it holds can go once it is
    // on disk.
    void writeAsync(QList<ClipItem> snapshot, quint64 journalMark = 0);
    // Waits for writes already under way, then writes this snapshot; it is the last write.
    bool writeNow(QList<ClipItem> snapshot, quint64 journalMark = 0);

    // Why the latest write failed (the previous file is then left as it was); empty once a write
    // succeeds. Each next change tries again. Safe from any thread.
    [[nodiscard]] QString lastError() const;
    // Files written so far.
    [[nodiscard]] int writeCount() const { return m_writeCount.load(); }
    // Blocks until nothing is waiting or being written.
    void waitForIdle();

private:
    static constexpr qint64 releaseThresholdBytes = 1 << 20;
    // True when the snapshot is on disk.
    bool writeSnapshot(const QList<ClipItem> &snapshot, const QString &failurePrefix, bool logEveryFailure);

    QString m_historyFile;
    LogSink m_log;
    QObject *m_context;
    std::function<void()> m_onWritten;
    HistoryJournal *m_journal;
    QThread m_thread;
    QObject *m_worker = nullptr;
    mutable QMutex m_mutex;
    struct Snapshot
    {
        QList<ClipItem> items;
        quint64 journalMark = 0;
    };
    std::optional<Snapshot> m_pending;
    QString m_lastError;
    std::atomic<int> m_writeCount{0};
    // Only touched on the writer's thread.
    qint64 m_lastWrittenSize = 0;
};

} // namespace Vexilo
