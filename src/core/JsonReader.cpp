// SPDX-License-Identifier: MIT
#include "JsonReader.h"

#include "Hex.h"
#include "SecureMemory.h"
#include "Utf8.h"

#include <charconv>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Vexilo {

namespace {
// Nesting deeper than this is refused rather than risking the stack on hostile input.
constexpr int maxDepth = 512;

} // namespace

JsonReader::JsonReader(QByteArrayView data)
    : m_data(data.data())
    , m_size(data.size())
{ }

void JsonReader::fail(const QString &message)
{
    if (m_error.isEmpty())
        m_error = message + QStringLiteral(" at byte ") + QString::number(m_pos);
}

JsonReader::~JsonReader()
{
    SecureMemory::wipe(m_scratch);
}

void JsonReader::skipWhitespace()
{
    while (m_pos < m_size) {
        const char c = m_data[m_pos];
        if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
            return;
        ++m_pos;
    }
}

bool JsonReader::expect(char c)
{
    skipWhitespace();
    if (m_pos < m_size && m_data[m_pos] == c) {
        ++m_pos;
        return true;
    }
    fail(m_pos < m_size ? QStringLiteral("Unexpected character '%1', expected '%2'")
                              .arg(QChar(QLatin1Char(m_data[m_pos])), QChar(QLatin1Char(c)))
                        : QStringLiteral("Unexpected end of data, expected '%1'").arg(QChar(QLatin1Char(c))));
    return false;
}

JsonReader::Kind JsonReader::peek()
{
    if (hasError())
        return Kind::Invalid;
    skipWhitespace();
    if (m_pos >= m_size)
        return Kind::End;
    switch (m_data[m_pos]) {
    case '{':
        return Kind::Object;
    case '[':
        return Kind::Array;
    case '"':
        return Kind::String;
    case 't':
        return Kind::True;
    case 'f':
        return Kind::False;
    case 'n':
        return Kind::Null;
    case '-':
    case '0':
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9':
        return Kind::Number;
    default:
        return Kind::Invalid;
    }
}

bool JsonReader::atEnd()
{
    skipWhitespace();
    return !hasError() && m_pos >= m_size;
}

bool JsonReader::beginObject()
{
    if (hasError() || !expect('{'))
        return false;
    m_first = true;
    return true;
}

bool JsonReader::nextKey(QByteArrayView &key)
{
    if (hasError())
        return false;
    skipWhitespace();
    if (m_pos < m_size && m_data[m_pos] == '}') {
        ++m_pos;
        m_first = false;
        return false;
    }
    if (!m_first && !expect(','))
        return false;
    m_first = false;
    skipWhitespace();
    if (m_pos >= m_size || m_data[m_pos] != '"') {
        fail(QStringLiteral("Expected an object key"));
        return false;
    }
    QByteArrayView raw;
    bool escaped = false;
    if (!scanString(raw, escaped))
        return false;
    if (escaped) {
        m_scratch.resize(0);
        if (!unescape(raw, m_scratch))
            return false;
        key = m_scratch;
    } else {
        key = raw;
    }
    return expect(':');
}

bool JsonReader::beginArray()
{
    if (hasError() || !expect('['))
        return false;
    m_first = true;
    return true;
}

bool JsonReader::nextElement()
{
    if (hasError())
        return false;
    skipWhitespace();
    if (m_pos < m_size && m_data[m_pos] == ']') {
        ++m_pos;
        m_first = false;
        return false;
    }
    if (!m_first && !expect(','))
        return false;
    m_first = false;
    return true;
}

// On entry m_pos is at the opening quote; on success it is past the closing one and raw is the content.
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

bool JsonReader::scanNumber(QByteArrayView &raw)
{
    const qsizetype start = m_pos;
    qsizetype i = m_pos;
    auto isDigit = [this](qsizetype at) { return at < m_size && m_data[at] >= '0' && m_data[at] <= '9'; };
    if (i < m_size && m_data[i] == '-')
        ++i;
    if (!isDigit(i)) {
        fail(QStringLiteral("Invalid number"));
        return false;
    }
    if (m_data[i] == '0') {
        ++i;
    } else {
        while (isDigit(i))
            ++i;
    }
    if (i < m_size && m_data[i] == '.') {
        ++i;
        if (!isDigit(i)) {
            m_pos = i;
            fail(QStringLiteral("Invalid number"));
            return false;
        }
        while (isDigit(i))
            ++i;
    }
    if (i < m_size && (m_data[i] == 'e' || m_data[i] == 'E')) {
        ++i;
        if (i < m_size && (m_data[i] == '+' || m_data[i] == '-'))
            ++i;
        if (!isDigit(i)) {
            m_pos = i;
            fail(QStringLiteral("Invalid number"));
            return false;
        }
        while (isDigit(i))
            ++i;
    }
    raw = QByteArrayView(m_data + start, i - start);
    m_pos = i;
    return true;
}

bool JsonReader::readNumber(double &value)
{
    if (peek() != Kind::Number) {
        fail(QStringLiteral("Expected a number"));
        return false;
    }
    QByteArrayView raw;
    if (!scanNumber(raw))
        return false;
    const auto result = std::from_chars(raw.data(), raw.data() + raw.size(), value);
    if (result.ec != std::errc()) {
        // Out of range: JSON has no limit, but a double does.
        fail(QStringLiteral("Number out of range"));
        return false;
    }
    return true;
}

bool JsonReader::readBool(bool &value)
{
    const Kind kind = peek();
    if (kind == Kind::True && m_size - m_pos >= 4 && std::memcmp(m_data + m_pos, "true", 4) == 0) {
        m_pos += 4;
        value = true;
        return true;
    }
    if (kind == Kind::False && m_size - m_pos >= 5 && std::memcmp(m_data + m_pos, "false", 5) == 0) {
        m_pos += 5;
        value = false;
        return true;
    }
    fail(QStringLiteral("Expected true or false"));
    return false;
}

bool JsonReader::readNull()
{
    if (peek() == Kind::Null && m_size - m_pos >= 4 && std::memcmp(m_data + m_pos, "null", 4) == 0) {
        m_pos += 4;
        return true;
    }
    fail(QStringLiteral("Expected null"));
    return false;
}

bool JsonReader::skipValue()
{
    return skipValue(0);
}

bool JsonReader::skipValue(int depth)
{
    if (depth > maxDepth) {
        fail(QStringLiteral("Nesting too deep"));
        return false;
    }
    switch (peek()) {
    case Kind::Object: {
        if (!beginObject())
            return false;
        QByteArrayView key;
        while (nextKey(key)) {
            if (!skipValue(depth + 1))
                return false;
        }
        return !hasError();
    }
    case Kind::Array:
        if (!beginArray())
            return false;
        while (nextElement()) {
            if (!skipValue(depth + 1))
                return false;
        }
        return !hasError();
    case Kind::String: {
        QByteArrayView raw;
        bool escaped = false;
        if (!scanString(raw, escaped))
            return false;
        if (escaped) {
            m_scratch.resize(0);
            return unescape(raw, m_scratch);
        }
        return true;
    }
    case Kind::Number: {
        QByteArrayView raw;
        return scanNumber(raw);
    }
    case Kind::True:
    case Kind::False: {
        bool b = false;
        return readBool(b);
    }
    case Kind::Null:
        return readNull();
    case Kind::End:
        fail(QStringLiteral("Unexpected end of data"));
        return false;
    case Kind::Invalid:
        fail(QStringLiteral("Invalid value"));
        return false;
    }
    return false;
}

} // namespace Vexilo
