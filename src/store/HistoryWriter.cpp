// SPDX-License-Identifier: MIT
#include "HistoryWriter.h"

#include "HistoryFile.h"

namespace Vexilo {

HistoryWriter::HistoryWriter(const QString &historyFile, LogSink log)
    : m_historyFile(historyFile)
    , m_log(std::move(log))
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
            if (newest)
                writeSnapshot(*newest, QStringLiteral("Vexilo: Failed to save clipboard history: "));
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
}

} // namespace Vexilo
