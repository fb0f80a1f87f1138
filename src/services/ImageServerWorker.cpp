// SPDX-License-Identifier: MIT
#include "ImageServerWorker.h"

#include "ImageServerConnection.h"
#include "ImageServerProtocol.h"
#include "LocalImageServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <atomic>

namespace Vexilo {

namespace {

const QString servedFileName = QStringLiteral("vexilo_image.png");

// Unique across restarts of the server, so a late lookup result never reaches a newer connection.
quint64 nextConnectionId()
{
    static std::atomic<quint64> counter{0};
    return ++counter;
}

} // namespace

ImageServerWorker::ImageServerWorker(LocalImageServer *server, QString imagesDirectory, Limits limits)
    : m_server(server)
    , m_imagesDirectory(std::move(imagesDirectory))
    , m_limits(limits)
{ }

ImageServerWorker::~ImageServerWorker() = default;

std::optional<quint16> ImageServerWorker::listen(quint16 port, QString *error)
{
    m_listener = new QTcpServer(this);
    // Room for a burst of phones (or clients) connecting at once; the excess is closed on accept.
    m_listener->setListenBacklogSize(128);
    connect(m_listener, &QTcpServer::newConnection, this, &ImageServerWorker::acceptConnections);
    connect(m_listener, &QTcpServer::acceptError, this, [this] { Q_EMIT failed(m_listener->errorString()); });
    if (!m_listener->listen(QHostAddress::Any, port)) {
        *error = m_listener->errorString();
        return std::nullopt;
    }
    return m_listener->serverPort();
}

void ImageServerWorker::acceptConnections()
{
    while (QTcpSocket *socket = m_listener->nextPendingConnection()) {
        if (m_connections.size() >= m_limits.maxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        const quint64 id = nextConnectionId();
        auto *connection = new ImageServerConnection(id, socket, m_limits.idleTimeoutMs, this);
        m_connections.insert(id, connection);
        connect(connection, &ImageServerConnection::requestReceived, this, &ImageServerWorker::handleRequest);
        connect(connection, &ImageServerConnection::finished, this, &ImageServerWorker::removeConnection);
    }
}

void ImageServerWorker::handleRequest(quint64 connectionId, const QByteArray &request)
{
    ImageServerConnection *connection = m_connections.value(connectionId);
    if (!connection)
        return;
    const ImageServerProtocol::Request parsed = ImageServerProtocol::parseRequest(request);
    if (parsed.immediateResponse) {
        connection->respond(*parsed.immediateResponse);
        return;
    }
    const LocalImageServer::ActiveShare share = m_server->activeShare();
    if (!share.token || !parsed.token || *share.token != *parsed.token || !share.itemId ||
        *share.itemId != parsed.itemId) {
        connection->respond(ImageServerProtocol::forbidden());
        return;
    }
    m_server->lookUpImagePath(this, connectionId, parsed.itemId);
}

void ImageServerWorker::serveImage(quint64 connectionId, const QString &path)
{
    ImageServerConnection *connection = m_connections.value(connectionId);
    if (!connection)
        return;
    QByteArray image;
    bool readable = false;
    if (!path.isEmpty() && isInsideImagesDirectory(path)) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            image = file.readAll();
            readable = file.error() == QFileDevice::NoError;
        }
    }
    connection->respond(readable ? ImageServerProtocol::imageResponse(image, servedFileName)
                                 : ImageServerProtocol::imageNotFound());
}

// Whatever the history says, only regular files inside the images folder are served, also when the
// name is a link that points elsewhere.
bool ImageServerWorker::isInsideImagesDirectory(const QString &path) const
{
    const QString folder = QFileInfo(m_imagesDirectory).canonicalFilePath();
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    if (folder.isEmpty() || canonical.isEmpty() || !file.isFile())
        return false;
    return canonical.startsWith(folder + u'/');
}

void ImageServerWorker::removeConnection(quint64 connectionId)
{
    if (ImageServerConnection *connection = m_connections.take(connectionId))
        connection->deleteLater();
}

} // namespace Vexilo
