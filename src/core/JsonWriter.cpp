// SPDX-License-Identifier: MIT
#include "JsonWriter.h"

#include "Utf8.h"

#include <array>
#include <charconv>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Vexilo::JsonWriter {

namespace {
// Per ASCII byte: 0 = copy, otherwise the character after the backslash ('u' for \u00xx).
constexpr auto escapeTable = [] {
    std::array<char, 128> table{};
    for (int c = 0; c < 0x20; ++c)
        table[c] = 'u';
    table['\b'] = 'b';
    table['\f'] = 'f';
    table['\n'] = 'n';
    table['\r'] = 'r';
    table['\t'] = 't';
    table['"'] = '"';
    table['\\'] = '\\';
    table['/'] = '/';
    return table;
}();
// Appends the escape of an ASCII character that needs one.
void appendEscape(QByteArray &out, unsigned char c)
{
    const char e = escapeTable[c];
    if (e == 'u') {
        static const char hex[] = "0123456789abcdef";
        const char buf[6] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 0xF]};
        out.append(buf, 6);
    } else {
        const char buf[2] = {'\\', e};
        out.append(buf, 2);
    }
}
} // namespace

void appendEscaped(QByteArray &out, QStringView text)
{
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    // Worst case is six bytes per unit (\u001f); reserve for the common case and let append grow.
    out.reserve(out.size() + text.size() + 16);
    while (p != end) {
        // Copy a run of plain ASCII in one go.
        const char16_t *run = p;
        while (p != end && *p < 0x80 && escapeTable[*p] == 0)
            ++p;
        if (p != run) {
            const qsizetype start = out.size();
            out.resize(start + (p - run));
            char *dst = out.data() + start;
            for (const char16_t *q = run; q != p; ++q)
                *dst++ = char(*q);
        }
        if (p == end)
            break;
        const char16_t c = *p++;
        if (c < 0x80) {
            appendEscape(out, static_cast<unsigned char>(c));
            continue;
        }
        char32_t cp = c;
        if (QChar::isHighSurrogate(c) && p != end && QChar::isLowSurrogate(*p)) {
            cp = QChar::surrogateToUcs4(c, *p++);
        } else if (QChar::isSurrogate(c)) {
            cp = 0xFFFD;
        }
        Utf8::append(out, cp);
    }
}

void appendEscapedUtf8(QByteArray &out, QByteArrayView utf8)
{
    const char *p = utf8.data();
    const qsizetype n = utf8.size();
    out.reserve(out.size() + n + 16);
    qsizetype runStart = 0;
    qsizetype i = 0;
    while (i < n) {
#if defined(__SSE2__)
        // Skip 16 bytes at a time while none needs escaping: no quote, backslash, slash or control
        // character. Bytes of multi-byte characters are 0x80 and above and pass through.
        const __m128i quote = _mm_set1_epi8('"');
        const __m128i backslash = _mm_set1_epi8('\\');
        const __m128i slash = _mm_set1_epi8('/');
        const __m128i space = _mm_set1_epi8(0x20);
        while (i + 16 <= n) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
            // Control characters: below 0x20 as unsigned bytes.
            const __m128i control =
                _mm_andnot_si128(_mm_cmpeq_epi8(block, space), _mm_cmpeq_epi8(_mm_max_epu8(block, space), space));
            const __m128i special =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, quote), _mm_cmpeq_epi8(block, backslash)),
                             _mm_or_si128(_mm_cmpeq_epi8(block, slash), control));
            const int mask = _mm_movemask_epi8(special);
            if (mask != 0) {
                i += __builtin_ctz(unsigned(mask));
                break;
            }
            i += 16;
        }
        if (i >= n)
            break;
#endif
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c >= 0x80 || escapeTable[c] == 0) {
            ++i;
            continue;
        }
        out.append(p + runStart, i - runStart);
        appendEscape(out, c);
        runStart = ++i;
    }
    out.append(p + runStart, n - runStart);
}

void appendStringUtf8(QByteArray &out, QByteArrayView utf8)
{
    out.append('"');
    appendEscapedUtf8(out, utf8);
    out.append('"');
}

void appendString(QByteArray &out, QStringView text)
{
    out.append('"');
    appendEscaped(out, text);
    out.append('"');
}

void appendNumber(QByteArray &out, double value)
{
    if (!std::isfinite(value)) {
        // JSON has no representation; never produced by the system's own clocks.
        out.append("0");
        return;
    }
    // Plain decimal notation for the usual magnitudes (dates are around 1e8 to 1e9), exponent form
    // outside them, as the history file has always been written.
    const double magnitude = std::fabs(value);
    const bool fixed = value == 0 || (magnitude >= 1e-4 && magnitude < 1e16);
    char buf[400];
    const auto result = fixed ? std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::fixed)
                              : std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::scientific);
    out.append(buf, result.ptr - buf);
}

void appendInteger(QByteArray &out, qint64 value)
{
    char buf[32];
    const auto result = std::to_chars(buf, buf + sizeof(buf), value);
    out.append(buf, result.ptr - buf);
}

} // namespace Vexilo::JsonWriter
