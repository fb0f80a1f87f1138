// SPDX-License-Identifier: MIT
#include "TextExcerpt.h"

#include <QLocale>

namespace Vexilo::TextExcerpt {

Excerpt head(QByteArrayView utf8, qsizetype maxCharacters)
{
    // A code point starts at every byte that is not a continuation byte (10xxxxxx).
    qsizetype characters = 0;
    const qsizetype size = utf8.size();
    for (qsizetype i = 0; i < size; ++i) {
        if ((quint8(utf8[i]) & 0xC0) == 0x80)
            continue;
        if (characters == maxCharacters)
            return {QString::fromUtf8(utf8.first(i)), true};
        ++characters;
    }
    return {QString::fromUtf8(utf8), false};
}

QString groupedNumber(qint64 value)
{
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(value);
}

QString truncationLine(qint64 shown, qint64 total, const QString &unit)
{
    if (total < 0)
        return QStringLiteral("Showing the first %1 %2").arg(groupedNumber(shown), unit);
    return QStringLiteral("Showing the first %1 of %2 %3").arg(groupedNumber(shown), groupedNumber(total), unit);
}

} // namespace Vexilo::TextExcerpt
