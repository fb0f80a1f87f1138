// SPDX-License-Identifier: MIT
#include "ClipboardFormats.h"

#include <QUrl>

namespace Vexilo::ClipboardFormats {

bool isSelectionTarget(const QString &type)
{
    if (type.isEmpty() || type.contains(u'/'))
        return false;
    // ICCCM target names are upper case (TARGETS, MULTIPLE, UTF8_STRING, COMPOUND_TEXT...).
    for (const QChar c : type) {
        if (c.isLower())
            return false;
    }
    return true;
}

QStringList localPathsFromUriList(const QByteArray &uriList)
{
    QStringList paths;
    for (QByteArray line : uriList.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QUrl url = QUrl::fromEncoded(line);
        if (url.isValid() && url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

QStringList localPathsFromGnomeCopiedFiles(const QByteArray &bytes)
{
    // The first line says what the file manager does with the files on paste.
    const qsizetype firstBreak = bytes.indexOf('\n');
    const QByteArray action = (firstBreak < 0 ? bytes : bytes.left(firstBreak)).trimmed();
    if (action == "copy" || action == "cut")
        return localPathsFromUriList(firstBreak < 0 ? QByteArray() : bytes.mid(firstBreak + 1));
    return localPathsFromUriList(bytes);
}

} // namespace Vexilo::ClipboardFormats
