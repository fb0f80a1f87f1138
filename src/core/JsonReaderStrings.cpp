// SPDX-License-Identifier: MIT
// Strings: finding where one ends, and undoing its escapes.
#include "JsonReader.h"

#include "Hex.h"
#include "Utf8.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Vexilo {

bool JsonReader::scanString(QByteArrayView &raw, bool &hasEscapes)
{
    const qsizetype start = ++m_pos;
    hasEscapes = false;
    qsizetype i = start;
    while (i < m_size) {
#if defined(__SSE2__)
        // Skip 16 bytes at a time while none is a quote, a backslash or a control character. Control
        // characters are the bytes that max(byte, 0x20) maps to 0x20, apart from the space itself.
        const __m128i quote = _mm_set1_epi8('"');
        const __m128i backslash = _mm_set1_epi8('\\');
        const __m128i space = _mm_set1_epi8(0x20);
        while (i + 16 <= m_size) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(m_data + i));
            const __m128i control =
                _mm_andnot_si128(_mm_cmpeq_epi8(block, space), _mm_cmpeq_epi8(_mm_max_epu8(block, space), space));
            const __m128i special =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, quote), _mm_cmpeq_epi8(block, backslash)), control);
            const int mask = _mm_movemask_epi8(special);
            if (mask != 0) {
                i += __builtin_ctz(unsigned(mask));
                break;
            }
            i += 16;
        }
        if (i >= m_size)
            break;
#endif
        const unsigned char c = static_cast<unsigned char>(m_data[i]);
        if (c == '"') {
            raw = QByteArrayView(m_data + start, i - start);
            m_pos = i + 1;
            return true;
        }
        if (c == '\\') {
            hasEscapes = true;
            i += 2; // the escaped character never ends the string
            continue;
        }
        if (c < 0x20) {
            m_pos = i;
            fail(QStringLiteral("Unescaped control character in string"));
            return false;
        }
        ++i;
    }
    m_pos = m_size;
    fail(QStringLiteral("Unterminated string"));
    return false;
}

bool JsonReader::unescape(QByteArrayView raw, QByteArray &out)
{
    out.reserve(out.size() + raw.size());
    const qsizetype n = raw.size();
    qsizetype i = 0;
    while (i < n) {
        // Copy everything up to the next escape in one go.
        const void *found = std::memchr(raw.data() + i, '\\', size_t(n - i));
        const qsizetype next = found ? static_cast<const char *>(found) - raw.data() : n;
        out.append(raw.data() + i, next - i);
        i = next;
        if (i >= n || ++i >= n)
            break;
        switch (raw[i]) {
        case '"':
            out.append('"');
            break;
        case '\\':
            out.append('\\');
            break;
        case '/':
            out.append('/');
            break;
        case 'b':
            out.append('\b');
            break;
        case 'f':
            out.append('\f');
            break;
        case 'n':
            out.append('\n');
            break;
        case 'r':
            out.append('\r');
            break;
        case 't':
            out.append('\t');
            break;
        case 'u': {
            auto readHex = [&](qsizetype at, char32_t &value) {
                if (at + 4 > n)
                    return false;
                value = 0;
                for (int k = 0; k < 4; ++k) {
                    const int h = Hex::digitValue(raw[at + k]);
                    if (h < 0)
                        return false;
                    value = (value << 4) | char32_t(h);
                }
                return true;
            };
            char32_t cp = 0;
            if (!readHex(i + 1, cp)) {
                fail(QStringLiteral("Invalid \\u escape in string"));
                return false;
            }
            i += 4;
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                char32_t low = 0;
                if (i + 2 < n && raw[i + 1] == '\\' && raw[i + 2] == 'u' && readHex(i + 3, low) && low >= 0xDC00 &&
                    low <= 0xDFFF) {
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    i += 6;
                } else {
                    cp = 0xFFFD; // a lone surrogate cannot be represented in UTF-8
                }
            } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
                cp = 0xFFFD;
            }
            Utf8::append(out, cp);
            break;
        }
        default:
            fail(QStringLiteral("Invalid escape in string"));
            return false;
        }
        ++i; // past the escaped character (or the last digit of a \u escape)
    }
    return true;
}

bool JsonReader::readString(QString &value)
{
    QByteArrayView utf8;
    if (!readStringView(utf8))
        return false;
    value = QString::fromUtf8(utf8);
    return true;
}

bool JsonReader::readStringView(QByteArrayView &value)
{
    if (peek() != Kind::String) {
        fail(QStringLiteral("Expected a string"));
        return false;
    }
    QByteArrayView raw;
    bool escaped = false;
    if (!scanString(raw, escaped))
        return false;
    if (!escaped) {
        value = raw;
        return true;
    }
    m_scratch.resize(0);
    if (!unescape(raw, m_scratch))
        return false;
    value = m_scratch;
    return true;
}

} // namespace Vexilo
