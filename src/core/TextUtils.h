// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    // ASCII first: the only blanks there are space and tab.
    return c < 0x80 ? c == u' ' || c == u'\t' : QChar::category(c) == QChar::Separator_Space;
}

// Index of the first line-break character (as isLineBreak) at or after from, or size.
// Inline, as texts of a million short lines call it once per line.
[[nodiscard]] inline qsizetype findLineBreak(QStringView text, qsizetype from)
{
    const char16_t *data = text.utf16();
    const qsizetype n = text.size();
    qsizetype i = from;
    for (const qsizetype head = std::min(n, from + 8); i < head; ++i) {
        if (isLineBreak(data[i]))
            return i;
    }
#if defined(__SSE2__)
    // Eight code units at a time: U+000A..U+000D, U+0085, U+2028 and U+2029.
    const __m128i first = _mm_set1_epi16(0x0A);
    const __m128i span = _mm_set1_epi16(3);
    const __m128i nextLine = _mm_set1_epi16(0x85);
    const __m128i separator = _mm_set1_epi16(0x2028);
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= n; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
        const __m128i control = _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(units, first), span), zero);
        const __m128i separators = _mm_cmpeq_epi16(_mm_srli_epi16(_mm_sub_epi16(units, separator), 1), zero);
        const __m128i hits = _mm_or_si128(_mm_or_si128(control, separators), _mm_cmpeq_epi16(units, nextLine));
        if (const int mask = _mm_movemask_epi8(hits))
            return i + std::countr_zero(unsigned(mask)) / 2;
    }
#endif
    for (; i < n; ++i) {
        if (isLineBreak(data[i]))
            return i;
    }
    return n;
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
