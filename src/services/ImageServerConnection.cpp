// SPDX-License-Identifier: MIT
#include "ImageServerConnection.h"

#include "ImageServerProtocol.h"

#include <QTcpSocket>

#include <sys/socket.h>

namespace Vexilo {

ImageServerConnection::ImageServerConnection(quint64 id, QTcpSocket *socket, int idleTimeoutMs, QObject *parent)
    : QObject(parent)
    , m_id(id)
    , m_socket(socket)
{
    m_socket->setParent(this);
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(idleTimeoutMs);
    connect(&m_idleTimer, &QTimer::timeout, this, [this] {
        // A reset rather than a close: closing would leave the kernel holding the unsent part of the
        // response for a peer that does not read it.
        const linger reset{1, 0};
        ::setsockopt(int(m_socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        m_socket->abort();
        finish();
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &ImageServerConnection::readRequest);
    // Writing progress keeps a slow but live download going.
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] { m_idleTimer.start(); });
    connect(m_socket, &QTcpSocket::disconnected, this, &ImageServerConnection::finish);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        if (m_socket->state() == QAbstractSocket::UnconnectedState)
            finish();
    });
    m_idleTimer.start();
    // Data may have arrived before the signals were connected.
    if (m_socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &ImageServerConnection::readRequest, Qt::QueuedConnection);
}

void ImageServerConnection::readRequest()
{
    if (m_requestRead) {
        // One request per connection: anything after the first chunk is read and dropped, so that
        // closing does not reset the connection under a response still in flight.
        m_socket->readAll();
        return;
    }
    // A request may come in several segments: it is read until its head is complete.
    m_head += m_socket->read(ImageServerProtocol::maxRequestBytes - m_head.size());
    const std::optional<QByteArray> head = ImageServerProtocol::takeRequestHead(m_head);
    if (!head)
        return;
    m_requestRead = true;
    m_head.clear();
    Q_EMIT requestReceived(m_id, *head);
}

void ImageServerConnection::respond(const QByteArray &response)
{
    if (m_finished)
        return;
    m_socket->readAll();
    m_socket->write(response);
    m_idleTimer.start();
    m_socket->disconnectFromHost();
    if (m_socket->state() == QAbstractSocket::UnconnectedState)
        finish();
}

void ImageServerConnection::close()
{
    if (m_finished)
        return;
    m_socket->disconnectFromHost();
    if (m_socket->state() == QAbstractSocket::UnconnectedState)
        finish();
}

void ImageServerConnection::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_idleTimer.stop();
    Q_EMIT finished(m_id);
}

} // namespace Vexilo
