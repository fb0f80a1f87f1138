// SPDX-License-Identifier: MIT
#include "Utf8.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Vexilo::Utf8 {

namespace {
// Length of the leading ASCII run, 16 bytes at a time.
qsizetype asciiPrefix(const unsigned char *p, qsizetype n)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        const int mask = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i)));
        if (mask != 0)
            return i + __builtin_ctz(unsigned(mask));
    }
#endif
    while (i < n && p[i] < 0x80)
        ++i;
    return i;
}
} // namespace

bool isValid(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        i += asciiPrefix(p + i, n - i);
        if (i >= n)
            return true;
        const unsigned char c = p[i];
        auto continuation = [&](qsizetype at) { return at < n && (p[at] & 0xC0) == 0x80; };
        if (c >= 0xC2 && c <= 0xDF) {
            if (!continuation(i + 1))
                return false;
            i += 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            if (!continuation(i + 1) || !continuation(i + 2))
                return false;
            const unsigned char c1 = p[i + 1];
            if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0)) // overlong, surrogate
                return false;
            i += 3;
        } else if (c >= 0xF0 && c <= 0xF4) {
            if (!continuation(i + 1) || !continuation(i + 2) || !continuation(i + 3))
                return false;
            const unsigned char c1 = p[i + 1];
            if ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90)) // overlong, above U+10FFFF
                return false;
            i += 4;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace Vexilo::Utf8
