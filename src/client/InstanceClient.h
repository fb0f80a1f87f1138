// SPDX-License-Identifier: MIT
#pragma once

#include "CommandOutput.h"

#include <QJsonObject>
#include <optional>

namespace Vexilo {

// The client side of the local socket: asks the running application to carry out a command.
class InstanceClient
{
public:
    explicit InstanceClient(QString socketPath);

    // Why the socket's folder is not trusted, when it exists but is not private; the client then
    // talks to nobody. Nothing when all is well or the folder is missing.
    [[nodiscard]] std::optional<QString> folderProblem() const;
    // True when an application is listening.
    [[nodiscard]] bool isRunning() const;
    // The command's output, or nothing when no application answered or it serves another storage
    // folder (the command then runs in this process).
    [[nodiscard]] std::optional<CommandOutput> runCommand(const QStringList &arguments, const CommandContext &context,
                                                          const QString &storageDirectory) const;
    // Asks the running application to come to the front; false when none answered.
    bool reopen() const;

private:
    [[nodiscard]] std::optional<QJsonObject> exchange(const QJsonObject &request, int timeoutMs) const;

    QString m_socketPath;
};

} // namespace Vexilo
