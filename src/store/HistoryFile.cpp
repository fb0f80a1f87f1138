// SPDX-License-Identifier: MIT
#include "HistoryFile.h"

#include "ClipJson.h"
#include "MappedFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

LoadResult load(const QString &path, const LogSink &log)
{
    LoadResult result;
    if (!QFileInfo::exists(path))
        return result;
    result.existed = true;
    ClipJson::DecodeResult decoded;
    {
        MappedFile file;
        if (!file.open(path)) {
            // Unreadable but present: leave it alone; saves will fail loudly rather than replace it.
            log(QStringLiteral("Failed to load clipboard history: ") + file.errorString());
            return result;
        }
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
    if (!file.open(QIODevice::WriteOnly))
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
    if (!file.open(QIODevice::WriteOnly))
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
