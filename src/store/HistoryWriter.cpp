// SPDX-License-Identifier: MIT
#include "HistoryWriter.h"

#include "FreedMemory.h"
#include "HistoryFile.h"
#include "HistoryJournal.h"
#include "ThreadHandOff.h"

#include <QFileInfo>
#include <cstdlib>

namespace Vexilo {

using ThreadHandOff::handOver;
using ThreadHandOff::takeOver;

HistoryWriter::HistoryWriter(const QString &historyFile, LogSink log, QObject *context, std::function<void()> onWritten,
                             HistoryJournal *journal)
    : m_historyFile(historyFile)
    , m_log(std::move(log))
    , m_context(context)
    , m_onWritten(std::move(onWritten))
    , m_journal(journal)
{
    m_thread.setObjectName(QStringLiteral("com.vexilo.persistence"));
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start(QThread::LowPriority);
}

HistoryWriter::~HistoryWriter()
{
    waitForIdle();
    m_thread.quit();
    m_thread.wait();
}

void HistoryWriter::writeAsync(QList<ClipItem> snapshot, quint64 journalMark)
{
    bool schedule = false;
    {
        QMutexLocker lock(&m_mutex);
        schedule = !m_pending.has_value();
        m_pending = Snapshot{std::move(snapshot), journalMark};
    }
    if (!schedule)
        return; // a write job is already queued and will take the newest snapshot
    QMetaObject::invokeMethod(
        m_worker,
        [this] {
            std::optional<Snapshot> newest;
            {
                QMutexLocker lock(&m_mutex);
                newest.swap(m_pending);
            }
            if (!newest)
                return;
            if (writeSnapshot(newest->items, QStringLiteral("Vexilo: Failed to save clipboard history: "), false) &&
                m_journal)
                m_journal->discardBefore(newest->journalMark);
            // Let go of the snapshot first: clips removed since are freed only when it goes.
            newest.reset();
            if (m_onWritten && m_context)
                QMetaObject::invokeMethod(m_context, m_onWritten, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

bool HistoryWriter::writeNow(QList<ClipItem> snapshot, quint64 journalMark)
{
    {
        // A waiting snapshot is older than this one and must not be written after it.
        QMutexLocker lock(&m_mutex);
        m_pending.reset();
    }
    const int before = m_writeCount.load();
    handOver(&snapshot);
    QMetaObject::invokeMethod(
        m_worker,
        [this, &snapshot, journalMark] {
            takeOver(&snapshot);
            if (writeSnapshot(snapshot, QStringLiteral("Vexilo: Failed to synchronously flush history: "), true) &&
                m_journal)
                m_journal->discardBefore(journalMark);
            handOver(&snapshot);
        },
        Qt::BlockingQueuedConnection);
    takeOver(&snapshot);
    return m_writeCount.load() > before;
}

void HistoryWriter::waitForIdle()
{
    if (!m_thread.isRunning())
        return;
    // Queued jobs run in order, so an empty job returning means every earlier one finished.
    QMetaObject::invokeMethod(
        m_worker, [this] { handOver(this); }, Qt::BlockingQueuedConnection);
    takeOver(this);
}

QString HistoryWriter::lastError() const
{
    QMutexLocker lock(&m_mutex);
    return m_lastError;
}

bool HistoryWriter::writeSnapshot(const QList<ClipItem> &snapshot, const QString &failurePrefix, bool logEveryFailure)
{
    const QString error = HistoryFile::write(m_historyFile, snapshot);
    QString previous;
    {
        QMutexLocker lock(&m_mutex);
        previous = std::exchange(m_lastError, error);
    }
    if (!error.isEmpty()) {
        // A full disk fails every save until it has room again: said once, not on every copy. The
        // last save before quitting always says it.
        if (previous.isEmpty() || logEveryFailure)
            m_log(failurePrefix + error);
        return false;
    }
    if (!previous.isEmpty())
        m_log(QStringLiteral("Vexilo: Saved clipboard history again"));
    ++m_writeCount;
    // A large clip came or went: what its capture or removal freed is given back to the system now
    // instead of staying resident until the allocator gets round to it.
    const qint64 size = QFileInfo(m_historyFile).size();
    if (std::abs(size - m_lastWrittenSize) >= releaseThresholdBytes)
        FreedMemory::giveBack();
    m_lastWrittenSize = size;
    return true;
}

} // namespace Vexilo
