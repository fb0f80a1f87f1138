// SPDX-License-Identifier: MIT
#include "SearchText.h"

#include "TextUtils.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Vexilo {

namespace {

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

bool equalsAt(const char *hay, QByteArrayView needle)
{
    for (qsizetype k = 0; k < needle.size(); ++k) {
        if (lower(hay[k]) != needle[k])
            return false;
    }
    return true;
}

} // namespace

bool SearchText::containsAsciiCaseInsensitive(QByteArrayView haystack, QByteArrayView lowerNeedle)
{
    const qsizetype n = lowerNeedle.size();
    const qsizetype h = haystack.size();
    if (n == 0 || n > h)
        return false;
    const char *hs = haystack.data();
    const char first = lowerNeedle[0];
    const char last = lowerNeedle[n - 1];
    qsizetype i = 0;
#if defined(__SSE2__)
    // Compare the needle's first and last bytes at 16 positions at once and verify only the
    // candidates. Letters are compared with their case bit set.
    const __m128i firstCase = _mm_set1_epi8(isAsciiLetter(first) ? 0x20 : 0);
    const __m128i lastCase = _mm_set1_epi8(isAsciiLetter(last) ? 0x20 : 0);
    const __m128i firstValue = _mm_set1_epi8(first);
    const __m128i lastValue = _mm_set1_epi8(last);
    for (; i + n - 1 + 16 <= h; i += 16) {
        const __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(hs + i)), firstCase);
        const __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(hs + i + n - 1)), lastCase);
        unsigned mask =
            unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, firstValue), _mm_cmpeq_epi8(b, lastValue))));
        while (mask) {
            const int bit = __builtin_ctz(mask);
            if (equalsAt(hs + i + bit, lowerNeedle))
                return true;
            mask &= mask - 1;
        }
    }
#endif
    for (; i + n <= h; ++i) {
        if (lower(hs[i]) == first && equalsAt(hs + i, lowerNeedle))
            return true;
    }
    return false;
}

SearchQuery::SearchQuery(QStringView query)
{
    const QStringView trimmed = TextUtils::trimmed(query);
    for (QChar c : trimmed) {
        if (c.unicode() >= 0x80) {
            m_ascii = false;
            break;
        }
    }
    m_text = trimmed.toString().toCaseFolded();
    m_folded = m_text.toUtf8();
}

bool SearchQuery::narrows(const SearchQuery &other) const
{
    return !isEmpty() && !other.isEmpty() && m_ascii == other.m_ascii && m_folded.contains(other.m_folded);
}

bool SearchQuery::matches(QByteArrayView utf8) const
{
    if (isEmpty() || utf8.isEmpty())
        return false;
    if (m_ascii)
        return SearchText::containsAsciiCaseInsensitive(utf8, m_folded);
    // A non-ASCII query: compare with Unicode case folding on the decoded text.
    return QString::fromUtf8(utf8).contains(m_text, Qt::CaseInsensitive);
}

bool SearchQuery::matches(QStringView text) const
{
    if (isEmpty() || text.size() < m_text.size())
        return false;
    if (!m_ascii)
        return text.contains(m_text, Qt::CaseInsensitive);
    // The query is ASCII and lower case: only ASCII characters of the field can match it.
    const qsizetype n = m_folded.size();
    const char first = m_folded[0];
    for (qsizetype i = 0; i + n <= text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80 || lower(char(c)) != first)
            continue;
        qsizetype k = 1;
        for (; k < n; ++k) {
            const char16_t h = text[i + k].unicode();
            if (h >= 0x80 || lower(char(h)) != m_folded[k])
                break;
        }
        if (k == n)
            return true;
    }
    return false;
}

} // namespace Vexilo
