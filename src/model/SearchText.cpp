// SPDX-License-Identifier: MIT
#include "SearchText.h"

#include "TextUtils.h"

#include <QString>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Vexilo::SearchText {

namespace {

bool isAscii(QStringView text)
{
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    char16_t bits = 0;
    for (; p != end; ++p)
        bits |= *p;
    return bits < 0x80;
}

} // namespace

void appendFolded(QByteArray &out, QStringView text)
{
    if (isAscii(text)) {
        const qsizetype start = out.size();
        out.resize(start + text.size());
        char *dst = out.data() + start;
        for (QChar qc : text) {
            const char16_t c = qc.unicode();
            *dst++ = char((c >= u'A' && c <= u'Z') ? c + 32 : c);
        }
        return;
    }
    out.append(text.toString().toCaseFolded().toUtf8());
}

QByteArray fold(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    appendFolded(out, text);
    return out;
}

QByteArray foldQuery(QStringView query)
{
    return fold(TextUtils::trimmed(query));
}

bool contains(QByteArrayView haystack, QByteArrayView needle)
{
    const qsizetype n = needle.size();
    const qsizetype h = haystack.size();
    if (n == 0 || n > h)
        return false;
    const char *hs = haystack.data();
    const char *nd = needle.data();
    if (n == 1)
        return std::memchr(hs, nd[0], size_t(h)) != nullptr;
#if defined(__SSE2__)
    // Compare the needle's first and last bytes at 16 positions at once and verify only the candidates.
    const __m128i first = _mm_set1_epi8(nd[0]);
    const __m128i last = _mm_set1_epi8(nd[n - 1]);
    qsizetype i = 0;
    for (; i + n - 1 + 16 <= h; i += 16) {
        const __m128i blockFirst = _mm_loadu_si128(reinterpret_cast<const __m128i *>(hs + i));
        const __m128i blockLast = _mm_loadu_si128(reinterpret_cast<const __m128i *>(hs + i + n - 1));
        unsigned mask = unsigned(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(first, blockFirst), _mm_cmpeq_epi8(last, blockLast))));
        while (mask) {
            const int bit = __builtin_ctz(mask);
            if (n == 2 || std::memcmp(hs + i + bit + 1, nd + 1, size_t(n - 2)) == 0)
                return true;
            mask &= mask - 1;
        }
    }
    for (; i + n <= h; ++i) {
        if (hs[i] == nd[0] && std::memcmp(hs + i, nd, size_t(n)) == 0)
            return true;
    }
    return false;
#else
    return memmem(hs, size_t(h), nd, size_t(n)) != nullptr;
#endif
}

} // namespace Vexilo::SearchText
