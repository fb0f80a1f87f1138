// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// Text conventions shared by detection, display and transforms.
namespace Vexilo::TextUtils {

// White space and line breaks (Unicode separators, U+0009..U+000D, U+0085).
[[nodiscard]] inline bool isWhitespaceOrNewline(char16_t c)
{
    return QChar::isSpace(c);
}
// Line-break characters: U+000A..U+000D, U+0085, U+2028, U+2029.
[[nodiscard]] inline bool isLineBreak(char16_t c)
{
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}
// Blanks and tabs: space separators and U+0009.
[[nodiscard]] inline bool isBlankOrTab(char16_t c)
{
    return c == u'\t' || QChar::category(c) == QChar::Separator_Space;
}

// Removes white space and line breaks at both ends.
[[nodiscard]] QStringView trimmed(QStringView text);
// Removes blanks and tabs at both ends.
[[nodiscard]] QStringView trimmedBlanks(QStringView text);
// Empty after removing blanks and tabs.
[[nodiscard]] bool isBlank(QStringView text);

// Splits at every line-break character, so CR LF yields an empty piece between its two characters.
[[nodiscard]] QList<QStringView> splitLines(QStringView text);
// Number of pieces splitLines() would return, without building them.
[[nodiscard]] qsizetype countLines(QStringView text);

// Number of user-perceived characters (grapheme clusters).
[[nodiscard]] qsizetype graphemeCount(QStringView text);

} // namespace Vexilo::TextUtils
