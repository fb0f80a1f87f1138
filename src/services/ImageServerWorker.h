// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QUuid>
#include <functional>

class QTcpServer;

namespace Vexilo {

class ImageServerConnection;
class LocalImageServer;

// The listening side of the local image server. Lives on the server's own thread together with its
// listener and connections; only the clip lookup goes to the main thread, through the server.
class ImageServerWorker : public QObject
{
    Q_OBJECT

public:
    struct Limits
    {
        int idleTimeoutMs = 10000;
        int maxConnections = 32;
    };

    ImageServerWorker(LocalImageServer *server, QString imagesDirectory, Limits limits);
    ~ImageServerWorker() override;

    // On the server thread. Listens on every interface, IPv4 and IPv6; the chosen port, or nothing
    // with the reason in error.
    [[nodiscard]] std::optional<quint16> listen(quint16 port, QString *error);
    // On the server thread: the file of the clip a connection asked for, empty when there is none.
    void serveImage(quint64 connectionId, const QString &path);

Q_SIGNALS:
    // The listener stopped accepting.
    void failed(const QString &error);

private:
    void acceptConnections();
    void handleRequest(quint64 connectionId, const QByteArray &request);
    void removeConnection(quint64 connectionId);
    [[nodiscard]] bool isInsideImagesDirectory(const QString &path) const;

    LocalImageServer *m_server;
    QString m_imagesDirectory;
    Limits m_limits;
    QTcpServer *m_listener = nullptr;
    QHash<quint64, ImageServerConnection *> m_connections;
};

} // namespace Vexilo
