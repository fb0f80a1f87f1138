// SPDX-License-Identifier: MIT
#include "HistoryFile.h"

#include "ClipJson.h"
#include "MappedFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace Vexilo::HistoryFile {

namespace {

QString preserveUnreadable(const QString &path, QString *error)
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString target = path + QStringLiteral(".corrupt-") + stamp;
    for (int n = 1; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = path + QStringLiteral(".corrupt-") + stamp + u'-' + QString::number(n);
    QFile file(path);
    if (!file.rename(target)) {
        *error = file.errorString();
        return {};
    }
    return target;
}

} // namespace

std::optional<QString> unreadableReason(const QString &path)
{
    int code = 0;
    const std::optional<QString> problem = MappedFile::openProblem(path, &code);
    if (!problem || code == ENOENT)
        return std::nullopt;
    return path + QStringLiteral(": ") + *problem;
}

LoadResult load(const QString &path, const LogSink &log)
{
    LoadResult result;
    ClipJson::DecodeResult decoded;
    {
        MappedFile file;
        if (!file.open(path)) {
            if (file.errorCode() == ENOENT)
                return result;
            result.existed = true;
            result.unreadable = path + QStringLiteral(": ") + file.errorString();
            return result;
        }
        result.existed = true;
        decoded = ClipJson::decodeHistory(file.data());
    }
    if (decoded.complete) {
        result.items = std::move(decoded.items);
        return result;
    }

    QString moveError;
    result.preservedPath = preserveUnreadable(path, &moveError);
    QString line = QStringLiteral("Failed to load clipboard history: ") + decoded.error;
    if (!result.preservedPath.isEmpty())
        line += QStringLiteral("; the file was kept as ") + result.preservedPath;
    else
        line += QStringLiteral("; the file could not be moved aside (") + moveError + u')';
    if (decoded.isArray) {
        line += QStringLiteral("; %1 records were kept").arg(decoded.items.size());
        if (decoded.skippedRecords > 0)
            line += QStringLiteral(", %1 records were skipped").arg(decoded.skippedRecords);
        if (decoded.syntaxError)
            line += QStringLiteral(", the rest of the file could not be read");
        result.items = std::move(decoded.items);
    }
    log(line);
    return result;
}

QString writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Unbuffered: no copy of the text waits in a buffer of the device.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

QString write(const QString &path, const QList<ClipItem> &items)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    // Encoded in pieces so a large history never needs one buffer of its whole size.
    if (!ClipJson::writeHistory(file, items)) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

bool isSafeImageFileName(const QString &name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    return !name.contains(u'/') && !name.contains(u'\\') && !name.contains(QChar(0));
}

} // namespace Vexilo::HistoryFile
