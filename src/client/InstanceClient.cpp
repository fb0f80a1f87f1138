// SPDX-License-Identifier: MIT
#include "InstanceClient.h"

#include "InstanceProtocol.h"
#include "SecureMemory.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QLocalSocket>
#include <QScopeGuard>

namespace Vexilo {

InstanceClient::InstanceClient(QString socketPath)
    : m_socketPath(std::move(socketPath))
{ }

std::optional<QString> InstanceClient::folderProblem() const
{
    if (!QFileInfo::exists(QFileInfo(m_socketPath).absolutePath()))
        return std::nullopt;
    return InstanceProtocol::socketFolderProblem(m_socketPath, false);
}

bool InstanceClient::isRunning() const
{
    if (InstanceProtocol::socketFolderProblem(m_socketPath, false))
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    return socket.waitForConnected(500);
}

std::optional<QJsonObject> InstanceClient::exchange(const QJsonObject &request, int timeoutMs) const
{
    // Whoever could put a socket in an open folder would hear what the user sends.
    if (InstanceProtocol::socketFolderProblem(m_socketPath, false))
        return std::nullopt;
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(500))
        return std::nullopt;
    QByteArray framed = InstanceProtocol::frame(request);
    socket.write(framed);
    SecureMemory::wipe(framed);
    if (!socket.waitForBytesWritten(timeoutMs))
        return std::nullopt;
    QByteArray buffer;
    const auto wipe = qScopeGuard([&buffer] { SecureMemory::wipe(buffer); });
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (auto message = InstanceProtocol::takeMessage(buffer))
            return message;
        if (socket.state() != QLocalSocket::ConnectedState && socket.bytesAvailable() == 0)
            break;
        if (socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            buffer += socket.readAll();
        else if (socket.state() != QLocalSocket::ConnectedState)
            break;
    }
    buffer += socket.readAll();
    return InstanceProtocol::takeMessage(buffer);
}

std::optional<CommandOutput> InstanceClient::runCommand(const QStringList &arguments, const CommandContext &context,
                                                        const QString &storageDirectory) const
{
    QJsonObject request{{QStringLiteral("type"), InstanceProtocol::commandRequest},
                        {QStringLiteral("arguments"), QJsonArray::fromStringList(arguments)},
                        {QStringLiteral("workingDirectory"), context.workingDirectory},
                        {QStringLiteral("columns"), context.columns},
                        {QStringLiteral("storageDirectory"), storageDirectory}};
    if (!context.input.isNull())
        request.insert(QStringLiteral("input"), context.input);
    // Exports of a large history take a while; a stuck application must not hang the shell forever.
    const auto reply = exchange(request, 120000);
    if (!reply || !reply->contains(QStringLiteral("exitCode")))
        return std::nullopt;
    return CommandOutput{reply->value(QStringLiteral("exitCode")).toInt(),
                         reply->value(QStringLiteral("out")).toString(),
                         reply->value(QStringLiteral("err")).toString()};
}

bool InstanceClient::reopen() const
{
    return exchange(QJsonObject{{QStringLiteral("type"), InstanceProtocol::reopenRequest}}, 5000).has_value();
}

} // namespace Vexilo
