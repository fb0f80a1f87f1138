// SPDX-License-Identifier: MIT
#include "InstanceProtocol.h"

#include "SecureMemory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
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

std::optional<QString> socketFolderProblem(const QString &socketPath, bool createFolder)
{
    const QString folder = QFileInfo(socketPath).absolutePath();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::cleanPath(runtime) == QDir::cleanPath(folder))
        return std::nullopt;
    const QByteArray native = QFile::encodeName(folder);
    if (createFolder && ::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("it cannot be created (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat info = {};
    if (::lstat(native.constData(), &info) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("it is a symbolic link");
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("it is not a folder");
    if (info.st_uid != ::getuid())
        return QStringLiteral("it belongs to another user");
    if ((info.st_mode & 07777) != 0700)
        return QStringLiteral("its permissions are %1, not 0700").arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return std::nullopt;
}

QByteArray frame(const QJsonObject &message)
{
    // Messages carry clip texts: the intermediate copy is wiped, the caller wipes the frame once sent.
    QByteArray body = QJsonDocument(message).toJson(QJsonDocument::Compact);
    QByteArray framed(4 + body.size(), Qt::Uninitialized);
    qToBigEndian(quint32(body.size()), framed.data());
    std::memcpy(framed.data() + 4, body.constData(), size_t(body.size()));
    SecureMemory::wipe(body);
    return framed;
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
    QByteArray body = buffer.mid(4, size);
    const QJsonDocument document = QJsonDocument::fromJson(body);
    SecureMemory::wipe(body);
    // The taken bytes are overwritten where they were before the rest moves up.
    SecureMemory::wipe(buffer.data(), size_t(4 + size));
    buffer.remove(0, 4 + size);
    return document.isObject() ? document.object() : QJsonObject();
}

} // namespace Vexilo::InstanceProtocol
