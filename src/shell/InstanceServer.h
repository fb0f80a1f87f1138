// SPDX-License-Identifier: MIT
#pragma once

#include "CommandRunner.h"

#include <QJsonObject>
#include <QLocalServer>
#include <QObject>
#include <functional>

namespace Vexilo {

// The application's end of the local socket: one running application per user session answers the
// `vexilo` commands and the reopen request of a second start.
class InstanceServer : public QObject
{
    Q_OBJECT

public:
    // Runs a command; `reply` may be called later (quit answers after the history is saved).
    using CommandHandler = std::function<void(const QStringList &arguments, const CommandContext &context,
                                              std::function<void(const CommandOutput &)> reply)>;

    InstanceServer(QString socketPath, QString storageDirectory, CommandHandler handler, QObject *parent = nullptr);
    ~InstanceServer() override;

    // False when another live instance already listens (or the socket cannot be created).
    bool listen();
    [[nodiscard]] QString errorString() const { return m_error; }

Q_SIGNALS:
    void reopenRequested();

private:
    void accept();
    void handle(class QLocalSocket *socket, const QJsonObject &request);

    QString m_socketPath;
    QString m_storageDirectory;
    CommandHandler m_handler;
    QLocalServer m_server;
    QString m_error;
};

} // namespace Vexilo
