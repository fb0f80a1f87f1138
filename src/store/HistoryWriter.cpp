// SPDX-License-Identifier: MIT
#include "HistoryWriter.h"

#include "HistoryFile.h"

#include <QFileInfo>
#include <cstdlib>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace Vexilo {

HistoryWriter::HistoryWriter(const QString &historyFile, LogSink log, QObject *context, std::function<void()> onWritten)
    : m_historyFile(historyFile)
    , m_log(std::move(log))
    , m_context(context)
    , m_onWritten(std::move(onWritten))
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

void HistoryWriter::writeAsync(QList<ClipItem> snapshot)
{
    bool schedule = false;
    {
        QMutexLocker lock(&m_mutex);
        schedule = !m_pending.has_value();
        m_pending = std::move(snapshot);
    }
    if (!schedule)
        return; // a write job is already queued and will take the newest snapshot
    QMetaObject::invokeMethod(
        m_worker,
        [this] {
            std::optional<QList<ClipItem>> newest;
            {
                QMutexLocker lock(&m_mutex);
                newest.swap(m_pending);
            }
            if (!newest)
                return;
            writeSnapshot(*newest, QStringLiteral("Vexilo: Failed to save clipboard history: "));
            // Let go of the snapshot first: clips removed since are freed only when it goes.
            newest.reset();
            if (m_onWritten && m_context)
                QMetaObject::invokeMethod(m_context, m_onWritten, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

bool HistoryWriter::writeNow(QList<ClipItem> snapshot)
{
    {
        // A waiting snapshot is older than this one and must not be written after it.
        QMutexLocker lock(&m_mutex);
        m_pending.reset();
    }
    const int before = m_writeCount.load();
    QMetaObject::invokeMethod(
        m_worker,
        [this, &snapshot] {
            writeSnapshot(snapshot, QStringLiteral("Vexilo: Failed to synchronously flush history: "));
        },
        Qt::BlockingQueuedConnection);
    return m_writeCount.load() > before;
}

void HistoryWriter::waitForIdle()
{
    if (!m_thread.isRunning())
        return;
    // Queued jobs run in order, so an empty job returning means every earlier one finished.
    QMetaObject::invokeMethod(
        m_worker, [] {}, Qt::BlockingQueuedConnection);
}

void HistoryWriter::writeSnapshot(const QList<ClipItem> &snapshot, const QString &failurePrefix)
{
    const QString error = HistoryFile::write(m_historyFile, snapshot);
    if (!error.isEmpty()) {
        m_log(failurePrefix + error);
        return;
    }
    ++m_writeCount;
    // A large clip came or went: what its capture or removal freed is given back to the system now
    // instead of staying resident until the allocator gets round to it.
    const qint64 size = QFileInfo(m_historyFile).size();
    if (std::abs(size - m_lastWrittenSize) >= releaseThresholdBytes)
        releaseFreedMemory();
    m_lastWrittenSize = size;
}

void HistoryWriter::releaseFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace Vexilo
