// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

class QTcpSocket;

namespace Vexilo {

// One accepted connection of the local image server, on the server's thread: it reads the first chunk
// of the request, writes one response and closes. A peer that sends nothing, or stops reading the
// response, is cut off once it has made no progress for the idle timeout.
class ImageServerConnection : public QObject
{
    Q_OBJECT

public:
    // Takes the socket over.
    ImageServerConnection(quint64 id, QTcpSocket *socket, int idleTimeoutMs, QObject *parent = nullptr);

    [[nodiscard]] quint64 id() const { return m_id; }
    // Writes the response and closes once it has been written.
    void respond(const QByteArray &response);
    // Closes without a response.
    void close();

Q_SIGNALS:
    void requestReceived(quint64 id, const QByteArray &request);
    // The connection is closed; the owner deletes it.
    void finished(quint64 id);

private:
    void readRequest();
    void finish();

    quint64 m_id;
    QTcpSocket *m_socket;
    QTimer m_idleTimer;
    QByteArray m_head; // the request head read so far
    bool m_requestRead = false;
    bool m_finished = false;
};

} // namespace Vexilo
