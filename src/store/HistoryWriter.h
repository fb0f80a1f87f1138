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

// Encodes and writes history snapshots on one background thread, in submission order, so the main
// thread never waits for the disk. When writes fall behind, only the newest waiting snapshot is
// written: each one holds the whole history.
class HistoryWriter
{
public:
    // onWritten, when given, runs on context's thread after each snapshot was written and let go.
    HistoryWriter(const QString &historyFile, LogSink log, QObject *context = nullptr,
                  std::function<void()> onWritten = {});
    ~HistoryWriter();

    void writeAsync(QList<ClipItem> snapshot);
    // Waits for writes already under way, then writes this snapshot; it is the last write.
    bool writeNow(QList<ClipItem> snapshot);

    // Files written so far.
    [[nodiscard]] int writeCount() const { return m_writeCount.load(); }
    // Blocks until nothing is waiting or being written.
    void waitForIdle();

private:
    static constexpr qint64 releaseThresholdBytes = 1 << 20;
    static void releaseFreedMemory();
    void writeSnapshot(const QList<ClipItem> &snapshot, const QString &failurePrefix);

    QString m_historyFile;
    LogSink m_log;
    QObject *m_context;
    std::function<void()> m_onWritten;
    QThread m_thread;
    QObject *m_worker = nullptr;
    QMutex m_mutex;
    std::optional<QList<ClipItem>> m_pending;
    std::atomic<int> m_writeCount{0};
    // Only touched on the writer's thread.
    qint64 m_lastWrittenSize = 0;
};

} // namespace Vexilo
