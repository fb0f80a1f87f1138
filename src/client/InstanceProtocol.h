// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

class QLocalSocket;

// How a `vexilo` command reaches the running application: one JSON message each way over a local
// socket in the user's runtime folder, each message preceded by its length.
namespace Vexilo::InstanceProtocol {

// $XDG_RUNTIME_DIR/vexilo.socket, so separate sessions (and test worlds) never meet; without a
// runtime folder, in /tmp/vexilo-<uid>.
[[nodiscard]] QString socketPath();

// Why the folder of the socket cannot be trusted with what passes through it (clip texts), or
// nothing. The runtime folder is the session's own; any other folder must be a real folder of this
// user that only the user can enter (mode 0700). With createFolder, a missing folder is made so.
[[nodiscard]] std::optional<QString> socketFolderProblem(const QString &socketPath, bool createFolder);

[[nodiscard]] QByteArray frame(const QJsonObject &message);
// Takes one complete message off the front of buffer, if there is one.
[[nodiscard]] std::optional<QJsonObject> takeMessage(QByteArray &buffer);

// Request types.
inline const QString commandRequest = QStringLiteral("command");
inline const QString reopenRequest = QStringLiteral("reopen");

} // namespace Vexilo::InstanceProtocol
