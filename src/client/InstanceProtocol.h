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

// $XDG_RUNTIME_DIR/vexilo.socket, so separate sessions (and test worlds) never meet.
[[nodiscard]] QString socketPath();

[[nodiscard]] QByteArray frame(const QJsonObject &message);
// Takes one complete message off the front of buffer, if there is one.
[[nodiscard]] std::optional<QJsonObject> takeMessage(QByteArray &buffer);

// Request types.
inline const QString commandRequest = QStringLiteral("command");
inline const QString reopenRequest = QStringLiteral("reopen");

} // namespace Vexilo::InstanceProtocol
