// SPDX-License-Identifier: MIT
#include "InstanceProtocol.h"

#include <QDir>
#include <QJsonDocument>
#include <QtEndian>

#include <unistd.h>

namespace Vexilo::InstanceProtocol {

namespace {
// Large enough for any export path or text a user pipes in; anything bigger is not ours.
constexpr quint32 maximumMessageSize = 512u << 20;
} // namespace

QString socketPath()
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty())
        folder = QDir::tempPath() + QStringLiteral("/vexilo-%1").arg(::getuid());
    return folder + QStringLiteral("/vexilo.socket");
}

QByteArray frame(const QJsonObject &message)
{
    const QByteArray body = QJsonDocument(message).toJson(QJsonDocument::Compact);
    QByteArray framed(4, Qt::Uninitialized);
    qToBigEndian(quint32(body.size()), framed.data());
    return framed + body;
}

std::optional<QJsonObject> takeMessage(QByteArray &buffer)
{
    if (buffer.size() < 4)
        return std::nullopt;
    const quint32 size = qFromBigEndian<quint32>(buffer.constData());
    if (size > maximumMessageSize) {
        buffer.clear();
        return QJsonObject(); // not a message of ours: answered as an empty request
    }
    if (buffer.size() < qsizetype(4 + size))
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(buffer.mid(4, size));
    buffer.remove(0, 4 + size);
    return document.isObject() ? document.object() : QJsonObject();
}

} // namespace Vexilo::InstanceProtocol
