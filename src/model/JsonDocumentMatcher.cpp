// SPDX-License-Identifier: MIT
// Whether a text is one JSON object or array, by the grammar and nesting limit of JsonReader, read
// straight from UTF-16: converting a large text to UTF-8 first would cost more than the parse.
#include "ContentDetector_p.h"

#include "Hex.h"

#include <vector>

namespace Vexilo::ContentDetector::Detail {

namespace {

class JsonDocumentScanner
{
public:
    explicit JsonDocumentScanner(QStringView text)
        : m_data(text.utf16())
        , m_size(text.size())
    { }

    bool scan()
    {
        for (;;) {
            skipWhitespace();
            if (m_at >= m_size || m_open.size() > maxDepth)
                return false;
            const char16_t c = m_data[m_at];
            if (c == u'{' || c == u'[') {
                switch (openContainer(c)) {
                case Opened::Member:
                    continue; // its first value comes next
                case Opened::Empty:
                    break;
                case Opened::Invalid:
                    return false;
                }
            } else if (!readScalar(c)) {
                return false;
            }
            switch (afterValue()) {
            case Next::AnotherValue:
                continue;
            case Next::Done:
                return true;
            case Next::Invalid:
                return false;
            }
        }
    }

private:
    static constexpr std::size_t maxDepth = 512;
    enum class Opened : quint8 { Member, Empty, Invalid };
    enum class Next : quint8 { AnotherValue, Done, Invalid };

    bool has(char16_t c) const { return m_at < m_size && m_data[m_at] == c; }
    bool isDigit(qsizetype at) const { return at < m_size && m_data[at] >= u'0' && m_data[at] <= u'9'; }
    bool isHex(qsizetype at) const { return at < m_size && Hex::digitValue(m_data[at]) >= 0; }

    void skipWhitespace()
    {
        while (has(u' ') || has(u'\n') || has(u'\r') || has(u'\t'))
            ++m_at;
    }

    void skipDigits()
    {
        while (isDigit(m_at))
            ++m_at;
    }

    // "{" or "[": either empty and closed at once, or open with its first member's key read.
    Opened openContainer(char16_t c)
    {
        const char16_t close = c == u'{' ? u'}' : u']';
        ++m_at;
        skipWhitespace();
        if (has(close)) {
            ++m_at;
            return Opened::Empty;
        }
        if (c == u'{' && !readKey())
            return Opened::Invalid;
        m_open.push_back(close);
        return Opened::Member;
    }

    bool readScalar(char16_t c)
    {
        if (c == u'"')
            return readString();
        if (c == u'-' || (c >= u'0' && c <= u'9'))
            return readNumber();
        if (c == u't')
            return readLiteral(u"true");
        if (c == u'f')
            return readLiteral(u"false");
        if (c == u'n')
            return readLiteral(u"null");
        return false;
    }

    // Closes containers until one expects another member, or the document ends.
    Next afterValue()
    {
        for (;;) {
            skipWhitespace();
            if (m_open.empty())
                return m_at == m_size ? Next::Done : Next::Invalid;
            if (m_at >= m_size)
                return Next::Invalid;
            if (has(m_open.back())) {
                ++m_at;
                m_open.pop_back();
                continue;
            }
            if (!has(u','))
                return Next::Invalid;
            ++m_at;
            if (m_open.back() == u'}' && !readKey())
                return Next::Invalid;
            return Next::AnotherValue;
        }
    }

    bool readString()
    {
        for (++m_at; m_at < m_size; ++m_at) {
            const char16_t c = m_data[m_at];
            if (c == u'"') {
                ++m_at;
                return true;
            }
            if (c < 0x20)
                return false;
            if (c == u'\\' && !readEscape())
                return false;
        }
        return false;
    }

    // At the backslash; leaves the position on the escape's last character.
    bool readEscape()
    {
        if (++m_at >= m_size)
            return false;
        switch (m_data[m_at]) {
        case u'"':
        case u'\\':
        case u'/':
        case u'b':
        case u'f':
        case u'n':
        case u'r':
        case u't':
            return true;
        case u'u':
            if (!isHex(m_at + 1) || !isHex(m_at + 2) || !isHex(m_at + 3) || !isHex(m_at + 4))
                return false;
            m_at += 4;
            return true;
        default:
            return false;
        }
    }

    bool readNumber()
    {
        if (has(u'-'))
            ++m_at;
        if (!isDigit(m_at))
            return false;
        if (has(u'0'))
            ++m_at;
        else
            skipDigits();
        if (has(u'.')) {
            ++m_at;
            if (!isDigit(m_at))
                return false;
            skipDigits();
        }
        if (has(u'e') || has(u'E')) {
            ++m_at;
            if (has(u'+') || has(u'-'))
                ++m_at;
            if (!isDigit(m_at))
                return false;
            skipDigits();
        }
        return true;
    }

    bool readLiteral(QStringView literal)
    {
        if (!QStringView(m_data + m_at, m_size - m_at).startsWith(literal))
            return false;
        m_at += literal.size();
        return true;
    }

    bool readKey()
    {
        skipWhitespace();
        if (!has(u'"') || !readString())
            return false;
        skipWhitespace();
        if (!has(u':'))
            return false;
        ++m_at;
        return true;
    }

    const char16_t *m_data;
    qsizetype m_size;
    qsizetype m_at = 0;
    std::vector<char16_t> m_open; // the closing bracket of every enclosing container
};

} // namespace

bool isJsonDocument(QStringView text)
{
    return JsonDocumentScanner(text).scan();
}

} // namespace Vexilo::ContentDetector::Detail
