// SPDX-License-Identifier: MIT
#include "SearchText.h"

#include "TextUtils.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VEXILO_HAVE_AVX2_PATH 1
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

#if defined(VEXILO_HAVE_AVX2_PATH)
namespace {
// The same scan 32 bytes at a time, for processors that have AVX2 (chosen at run time).
__attribute__((target("avx2"))) qsizetype scanAvx2(const char *hs, qsizetype h, QByteArrayView lowerNeedle)
{
    const qsizetype n = lowerNeedle.size();
    const char first = lowerNeedle[0];
    const char last = lowerNeedle[n - 1];
    const __m256i firstCase = _mm256_set1_epi8(isAsciiLetter(first) ? 0x20 : 0);
    const __m256i lastCase = _mm256_set1_epi8(isAsciiLetter(last) ? 0x20 : 0);
    const __m256i firstValue = _mm256_set1_epi8(first);
    const __m256i lastValue = _mm256_set1_epi8(last);
    qsizetype i = 0;
    for (; i + n - 1 + 32 <= h; i += 32) {
        const __m256i a = _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(hs + i)), firstCase);
        const __m256i b =
            _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(hs + i + n - 1)), lastCase);
        unsigned mask = unsigned(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(a, firstValue), _mm256_cmpeq_epi8(b, lastValue))));
        while (mask) {
            const int bit = __builtin_ctz(mask);
            if (equalsAt(hs + i + bit, lowerNeedle))
                return -1;
            mask &= mask - 1;
        }
    }
    // The remaining positions as one last block that overlaps the previous one; checking a few
    // positions twice is cheaper than finishing one byte at a time.
    const qsizetype lastStart = h - n + 1 - 32;
    if (i < h - n + 1 && lastStart >= 0) {
        const __m256i a =
            _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(hs + lastStart)), firstCase);
        const __m256i b =
            _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(hs + lastStart + n - 1)), lastCase);
        unsigned mask = unsigned(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(a, firstValue), _mm256_cmpeq_epi8(b, lastValue))));
        while (mask) {
            const int bit = __builtin_ctz(mask);
            if (equalsAt(hs + lastStart + bit, lowerNeedle))
                return -1;
            mask &= mask - 1;
        }
        return h; // every position has been looked at
    }
    return i;
}

const bool hasAvx2 = __builtin_cpu_supports("avx2");
} // namespace
#endif

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
#if defined(VEXILO_HAVE_AVX2_PATH)
    if (hasAvx2 && h - n + 1 >= 32) {
        i = scanAvx2(hs, h, lowerNeedle);
        if (i < 0)
            return true;
    }
#endif
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
    if (m_ascii || m_text.isEmpty())
        return;
    char32_t anchor = 0;
    for (uint c : m_text.toUcs4())
        m_codePoints.append(char32_t(c));
    for (qsizetype i = 0; i < m_codePoints.size(); ++i) {
        if (m_codePoints.at(i) >= 0x80) {
            anchor = m_codePoints.at(i);
            m_anchorIndex = i;
            break;
        }
    }
    // Every character the comparison treats as equal to the anchor: those that fold to it (the Kelvin
    // sign folds to k without being its upper case, say).
    QList<char32_t> variants{anchor};
    for (char32_t c = 0x80; c < 0x10000; ++c) {
        if (QChar::toCaseFolded(c) == anchor)
            variants.append(c);
    }
    if (anchor >= 0x10000)
        variants << QChar::toUpper(anchor) << QChar::toLower(anchor);
    for (char32_t c : std::as_const(variants)) {
        QByteArray bytes = QString::fromUcs4(&c, 1).toUtf8();
        if (!m_anchors.contains(bytes))
            m_anchors.append(bytes);
    }
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
    // A query outside ASCII: every match holds one of the anchor's forms, so only the places where
    // one occurs are compared, character by character with case folding.
    for (const QByteArray &anchor : m_anchors) {
        const QByteArrayView view(anchor);
        qsizetype from = 0;
        while (from < utf8.size()) {
            const qsizetype at = utf8.sliced(from).indexOf(view);
            if (at < 0)
                break;
            if (matchesAround(utf8, from + at))
                return true;
            from += at + 1;
        }
    }
    return false;
}

namespace {
// Decodes the code point starting at `at`; invalid bytes read as U+FFFD, one byte each.
char32_t decodeAt(QByteArrayView utf8, qsizetype &at)
{
    const auto lead = static_cast<unsigned char>(utf8[at]);
    int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (at + length > utf8.size())
        length = 1;
    char32_t cp = length == 1 ? (lead < 0x80 ? lead : 0xFFFD) : lead & (0xFF >> (length + 1));
    for (int k = 1; k < length; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(utf8[at + k]) & 0x3F);
    at += length;
    return cp;
}
} // namespace

bool SearchQuery::matchesAround(QByteArrayView utf8, qsizetype anchorAt) const
{
    // Step back to where the match would start: as many characters as precede the anchor.
    qsizetype start = anchorAt;
    for (qsizetype k = 0; k < m_anchorIndex; ++k) {
        if (start == 0)
            return false;
        --start;
        while (start > 0 && (static_cast<unsigned char>(utf8[start]) & 0xC0) == 0x80)
            --start;
    }
    qsizetype at = start;
    for (char32_t expected : m_codePoints) {
        if (at >= utf8.size())
            return false;
        if (QChar::toCaseFolded(decodeAt(utf8, at)) != expected)
            return false;
    }
    return true;
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
