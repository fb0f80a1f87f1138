// SPDX-License-Identifier: MIT
#include "TextUtils.h"

#include <QTextBoundaryFinder>

namespace Vexilo::TextUtils {

QStringView trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isWhitespaceOrNewline(text[begin].unicode()))
        ++begin;
    while (end > begin && isWhitespaceOrNewline(text[end - 1].unicode()))
        --end;
    return text.sliced(begin, end - begin);
}

QStringView trimmedBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrTab(text[begin].unicode()))
        ++begin;
    while (end > begin && isBlankOrTab(text[end - 1].unicode()))
        --end;
    return text.sliced(begin, end - begin);
}

bool isBlank(QStringView text)
{
    return trimmedBlanks(text).isEmpty();
}

QList<QStringView> splitLines(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isLineBreak(text[i].unicode())) {
            lines.append(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    lines.append(text.sliced(start));
    return lines;
}

qsizetype countLines(QStringView text)
{
    qsizetype count = 1;
    for (QChar c : text) {
        if (isLineBreak(c.unicode()))
            ++count;
    }
    return count;
}

qsizetype graphemeCount(QStringView text)
{
    if (text.isEmpty())
        return 0;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

} // namespace Vexilo::TextUtils
