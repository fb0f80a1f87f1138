// SPDX-License-Identifier: MIT
#include "JsonReader.h"

#include "SecureMemory.h"

#include <charconv>
#include <cstring>

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
