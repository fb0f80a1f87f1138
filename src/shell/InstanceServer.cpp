// SPDX-License-Identifier: MIT
#include "InstanceServer.h"

#include "InstanceClient.h"
#include "InstanceProtocol.h"
#include "SecureMemory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QLocalSocket>
#include <QPointer>

namespace Vexilo {

InstanceServer::InstanceServer(QString socketPath, QString storageDirectory, CommandHandler handler, QObject *parent)
    : QObject(parent)
    , m_socketPath(std::move(socketPath))
    , m_storageDirectory(QDir::cleanPath(std::move(storageDirectory)))
    , m_handler(std::move(handler))
{
    connect(&m_server, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

InstanceServer::~InstanceServer()
{
    m_server.close();
}

bool InstanceServer::listen()
{
    // Only this user may talk to the application: the socket lives in a folder only the user can
    // enter (the runtime folder, or a private one made here).
    if (const auto problem = InstanceProtocol::socketFolderProblem(m_socketPath, true)) {
        m_error = QStringLiteral("refusing the socket folder %1: %2. Set XDG_RUNTIME_DIR, or remove the folder.")
                      .arg(QFileInfo(m_socketPath).absolutePath(), *problem);
        return false;
    }
    // Asked first: listening would take the name over from a live instance.
    if (InstanceClient(m_socketPath).isRunning()) {
        m_error = QStringLiteral("Vexilo is already running.");
        return false;
    }
    if (m_server.listen(m_socketPath))
        return true;
    // A socket left behind by an instance that died.
    QLocalServer::removeServer(m_socketPath);
    if (m_server.listen(m_socketPath))
        return true;
    m_error = m_server.errorString();
    return false;
}

void InstanceServer::accept()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        // What was received is wiped when the connection goes: it may hold clip texts.
        auto buffer = std::shared_ptr<QByteArray>(new QByteArray, [](QByteArray *bytes) {
            SecureMemory::wipe(*bytes);
            delete bytes;
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            if (auto request = InstanceProtocol::takeMessage(*buffer))
                handle(socket, *request);
        });
    }
}

void InstanceServer::handle(QLocalSocket *socket, const QJsonObject &request)
{
    QPointer<QLocalSocket> guard(socket);
    auto send = [guard](const QJsonObject &message) {
        if (!guard)
            return;
        QByteArray framed = InstanceProtocol::frame(message);
        guard->write(framed);
        SecureMemory::wipe(framed);
        guard->flush();
        guard->disconnectFromServer();
    };
    const QString type = request.value(QStringLiteral("type")).toString();
    if (type == InstanceProtocol::reopenRequest) {
        Q_EMIT reopenRequested();
        send({{QStringLiteral("reopened"), true}});
        return;
    }
    if (type != InstanceProtocol::commandRequest) {
        send({{QStringLiteral("exitCode"), int(ExitUsage)},
              {QStringLiteral("err"), QStringLiteral("vexilo: unknown request\n")}});
        return;
    }
    const QString storage = QDir::cleanPath(request.value(QStringLiteral("storageDirectory")).toString());
    if (!storage.isEmpty() && storage != m_storageDirectory) {
        // Another history folder: the client works on it itself.
        send({{QStringLiteral("otherStorage"), true}});
        return;
    }
    QStringList arguments;
    for (const QJsonValue &value : request.value(QStringLiteral("arguments")).toArray())
        arguments.append(value.toString());
    const CommandContext context{request.value(QStringLiteral("input")).toString(),
                                 request.value(QStringLiteral("workingDirectory")).toString(),
                                 qBound(20, request.value(QStringLiteral("columns")).toInt(80), 1000)};
    m_handler(arguments, context, [send](const CommandOutput &output) {
        send({{QStringLiteral("exitCode"), output.exitCode},
              {QStringLiteral("out"), output.out},
              {QStringLiteral("err"), output.err}});
    });
}

} // namespace Vexilo
