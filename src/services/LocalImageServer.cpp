// SPDX-License-Identifier: MIT
#include "LocalImageServer.h"

#include "ClipboardStore.h"
#include "ImageServerWorker.h"
#include "NetworkAddress.h"
#include "ThreadHandOff.h"

#include <QThread>

namespace Vexilo {

using ThreadHandOff::handOver;
using ThreadHandOff::takeOver;

LocalImageServer::LocalImageServer(Options options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
{
    if (!m_options.localAddress)
        m_options.localAddress = &NetworkAddress::localIPAddress;
}

LocalImageServer::~LocalImageServer()
{
    stop();
}

LocalImageServer::Options LocalImageServer::optionsFor(const ClipboardStore &store)
{
    Options options;
    options.imagesDirectory = store.imagesDirectory();
    options.imagePathForClip = [&store](const QUuid &itemId) {
        const std::optional<ClipItem> item = store.item(itemId);
        if (!item || !item->hasImageFileName())
            return QString();
        return store.imageURL(item->imageFileName());
    };
    return options;
}

void LocalImageServer::start()
{
    if (m_thread)
        return;
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("LocalImageServer"));
    m_worker =
        new ImageServerWorker(this, m_options.imagesDirectory, {m_options.idleTimeoutMs, m_options.maxConnections});
    m_worker->moveToThread(m_thread);
    // The worker, its listener and its connections are deleted on their own thread as it ends.
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &ImageServerWorker::failed, this,
            [this](const QString &error) { log(QStringLiteral("Vexilo: LocalImageServer failed: ") + error); });
    // The thread's last work, the worker's included, comes before stop() returns.
    connect(
        m_thread, &QThread::finished, this, [this] { handOver(this); }, Qt::DirectConnection);
    m_thread->start();

    std::optional<quint16> port;
    QString error;
    handOver(m_worker);
    QMetaObject::invokeMethod(
        m_worker,
        [&, worker = m_worker] {
            takeOver(worker);
            port = worker->listen(m_options.port, &error);
            handOver(&port);
        },
        Qt::BlockingQueuedConnection);
    takeOver(&port);
    // A listener that failed stays in place until stop(), so sharing again does not retry it.
    if (!port) {
        log(QStringLiteral("Vexilo: LocalImageServer failed: ") + error);
        return;
    }
    m_listeningPort = *port;
    log(QStringLiteral("Vexilo: LocalImageServer ready on port ") + QString::number(*port));
}

void LocalImageServer::stop()
{
    {
        QMutexLocker lock(&m_mutex);
        m_activeToken.reset();
        m_activeItemId.reset();
    }
    if (!m_thread)
        return;
    m_thread->quit();
    m_thread->wait();
    takeOver(this);
    delete m_thread;
    m_thread = nullptr;
    m_worker = nullptr;
    m_listeningPort = 0;
}

std::optional<QString> LocalImageServer::shareURL(const ClipItem &item)
{
    const std::optional<QString> address = m_options.localAddress();
    if (!address || address->isEmpty())
        return std::nullopt;
    return shareURL(item, *address);
}

QString LocalImageServer::shareURL(const ClipItem &item, const QString &host)
{
    start();
    const QString token = QUuid::createUuid().toString(QUuid::WithoutBraces).left(8).toLower();
    {
        QMutexLocker lock(&m_mutex);
        m_activeToken = token;
        m_activeItemId = item.id();
    }
    const quint16 port = m_listeningPort ? m_listeningPort : m_options.port;
    return QStringLiteral("http://") + host + u':' + QString::number(port) + QStringLiteral("/image/") +
        item.idString() + QStringLiteral("?token=") + token;
}

LocalImageServer::ActiveShare LocalImageServer::activeShare() const
{
    QMutexLocker lock(&m_mutex);
    return {m_activeToken, m_activeItemId};
}

void LocalImageServer::lookUpImagePath(ImageServerWorker *worker, quint64 connectionId, const QUuid &itemId)
{
    handOver(this);
    QMetaObject::invokeMethod(
        this,
        [this, worker, connectionId, itemId] {
            takeOver(this);
            // A worker that was stopped meanwhile is gone; its connections with it.
            if (worker != m_worker)
                return;
            const QString path = m_options.imagePathForClip ? m_options.imagePathForClip(itemId) : QString();
            handOver(worker);
            QMetaObject::invokeMethod(
                worker,
                [worker, connectionId, path] {
                    takeOver(worker);
                    worker->serveImage(connectionId, path);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void LocalImageServer::log(const QString &line) const
{
    if (m_options.log)
        m_options.log(line);
}

} // namespace Vexilo
