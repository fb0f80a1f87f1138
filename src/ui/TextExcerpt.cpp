// SPDX-License-Identifier: MIT
#include "TextExcerpt.h"

#include "TextUtils.h"

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

QStringList pieces(const QString &text, qsizetype targetSize)
{
    QStringList result;
    qsizetype start = 0;
    while (text.size() - start > targetSize) {
        const QStringView window = QStringView(text).sliced(start, targetSize);
        // Prefer a line break in the second half of the window, then a blank; a cut earlier than
        // that would make many small pieces.
        qsizetype cut = -1;
        bool dropBreak = false;
        for (qsizetype i = window.size() - 1; i >= targetSize / 2; --i) {
            if (TextUtils::isLineBreak(window[i].unicode())) {
                cut = i;
                dropBreak = true;
                break;
            }
        }
        if (cut < 0) {
            for (qsizetype i = window.size() - 1; i >= targetSize / 2; --i) {
                if (window[i].isSpace()) {
                    cut = i + 1;
                    break;
                }
            }
        }
        if (cut < 0)
            cut = window[targetSize - 1].isHighSurrogate() ? targetSize - 1 : targetSize;
        qsizetype dropped = dropBreak ? 1 : 0;
        // CR LF is one break.
        if (dropBreak && cut > 0 && window[cut] == u'\n' && window[cut - 1] == u'\r') {
            --cut;
            dropped = 2;
        }
        result.append(window.first(cut).toString());
        start += cut + dropped;
    }
    result.append(text.sliced(start));
    return result;
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
