// SPDX-License-Identifier: MIT
#include "ContentDetector_p.h"

#include <array>
#include <bit>
#include <string_view>
#include <vector>

namespace Vexilo::ContentDetector::Detail {

namespace {

const QRegularExpression *compiled(const QRegularExpression &regex)
{
    return regex.isValid() ? &regex : nullptr;
}

constexpr auto unicode = QRegularExpression::UseUnicodePropertiesOption;

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiAlnum(char16_t c)
{
    return isAsciiLetter(c) || (c >= u'0' && c <= u'9');
}

// Code point at i (a lone surrogate stands for itself) and its length in UTF-16 units.
char32_t codePointAt(QStringView text, qsizetype i, qsizetype &length)
{
    const char16_t c = text[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
        length = 2;
        return QChar::surrogateToUcs4(c, text[i + 1].unicode());
    }
    length = 1;
    return c;
}

qsizetype skipSpaces(QStringView text, qsizetype i)
{
    // Every \s character is in the BMP, so code units will do.
    const char16_t *data = text.utf16();
    while (i < text.size() && isPatternSpace(data[i]))
        ++i;
    return i;
}

// \d{1,3} followed by something that is not a digit: more digits can never match the pattern.
std::optional<QStringView> readComponent(QStringView text, qsizetype &i)
{
    const qsizetype start = i;
    int digits = 0;
    while (i < text.size()) {
        qsizetype length = 1;
        if (!isPatternDigit(codePointAt(text, i, length)))
            break;
        if (++digits > 3)
            return std::nullopt;
        i += length;
    }
    if (digits == 0)
        return std::nullopt;
    return text.sliced(start, i - start);
}

bool isDigitAt(QStringView text, qsizetype i)
{
    qsizetype length = 1;
    return i < text.size() && isPatternDigit(codePointAt(text, i, length));
}

qsizetype skipDigits(QStringView text, qsizetype i)
{
    while (i < text.size()) {
        qsizetype length = 1;
        if (!isPatternDigit(codePointAt(text, i, length)))
            break;
        i += length;
    }
    return i;
}

// The last character class of domainRegex; every other part of the pattern uses a subset of it.
constexpr std::array<bool, 128> domainTailChars = [] {
    std::array<bool, 128> table{};
    for (char c = '0'; c <= '9'; ++c)
        table[std::size_t(c)] = true;
    for (char c = 'a'; c <= 'z'; ++c) {
        table[std::size_t(c)] = true;
        table[std::size_t(c - 'a' + 'A')] = true;
    }
    for (char c : std::string_view("-()@:%_+.~#?&/="))
        table[std::size_t(c)] = true;
    return table;
}();

bool isDomainTailChar(char16_t c)
{
    return c < 0x80 && domainTailChars[c];
}

bool isCssSelectorChar(char16_t c)
{
    return isAsciiAlnum(c) || c == u'_' || c == u'-' || c == u'.' || isPatternSpace(c);
}

} // namespace

const QRegularExpression *hexRegex()
{
    static const QRegularExpression regex(QStringLiteral("^#?([0-9a-fA-F]{3,4}|[0-9a-fA-F]{6}|[0-9a-fA-F]{8})$"),
                                          unicode);
    return compiled(regex);
}

const QRegularExpression *rgbRegex()
{
    static const QRegularExpression regex(
        QStringLiteral("^rgba?\\(\\s*(\\d{1,3})\\s*,\\s*(\\d{1,3})\\s*,\\s*(\\d{1,3})\\s*"
                       "(?:,\\s*([0-1]?(?:\\.\\d+)?)\\s*)?\\)$"),
        unicode);
    return compiled(regex);
}

const QRegularExpression *domainRegex()
{
    static const QRegularExpression regex(
        QStringLiteral("^(?:https?:\\/\\/)?(?:www\\.)?[-a-zA-Z0-9@:%._\\+~#=]{1,256}\\.[a-zA-Z0-9()]{2,6}\\b"
                       "(?:[-a-zA-Z0-9()@:%_\\+.~#?&//=]*)$"),
        unicode);
    return compiled(regex);
}

const QRegularExpression *htmlRegex()
{
    static const QRegularExpression regex(
        QStringLiteral("^<(!DOCTYPE|html|div|span|p|a|ul|li|table|head|body|script|style|svg|path|form|input|"
                       "button|h[1-6])[^>]*>.*"),
        unicode | QRegularExpression::CaseInsensitiveOption);
    return compiled(regex);
}

const QRegularExpression *cssRegex()
{
    static const QRegularExpression regex(
        QStringLiteral("[a-zA-Z0-9_\\-\\.\\s]+\\s*\\{\\s*[a-zA-Z\\-]+\\s*:\\s*[^;]+;\\s*\\}"), unicode);
    return compiled(regex);
}

std::optional<RgbMatch> matchRgb(QStringView text)
{
    // The rgbRegex pattern is quadratic on long runs of blanks, so it is followed by hand; each
    // step is forced, as no two neighbouring items of the pattern can match the same character.
    if (!rgbRegex() || !text.startsWith(u"rgb"))
        return std::nullopt;
    qsizetype i = 3;
    if (i < text.size() && text[i] == u'a')
        ++i;
    if (i >= text.size() || text[i] != u'(')
        return std::nullopt;
    RgbMatch match;
    QStringView *components[] = {&match.red, &match.green, &match.blue};
    for (int k = 0; k < 3; ++k) {
        i = skipSpaces(text, i + 1);
        const auto component = readComponent(text, i);
        if (!component)
            return std::nullopt;
        *components[k] = *component;
        i = skipSpaces(text, i);
        if (k < 2 && (i >= text.size() || text[i] != u','))
            return std::nullopt;
    }
    if (i < text.size() && text[i] == u',') {
        i = skipSpaces(text, i + 1);
        const qsizetype alphaStart = i;
        if (i < text.size() && (text[i] == u'0' || text[i] == u'1'))
            ++i;
        if (i < text.size() && text[i] == u'.' && isDigitAt(text, i + 1)) {
            ++i;
            i = skipDigits(text, i);
        }
        match.alpha = text.sliced(alphaStart, i - alphaStart);
        i = skipSpaces(text, i);
    }
    if (i != text.size() - 1 || text[i] != u')')
        return std::nullopt;
    return match;
}

bool matchesDomain(QStringView text)
{
    // Every part of the pattern uses a subset of the tail's character class, and whatever comes
    // before the tail (scheme, "www.", 256 name characters, dot, 6-character suffix) ends within
    // the first 275 characters. The "\b" after it looks at the characters on both sides of that
    // point only. So once the whole text is known to be made of tail characters, the pattern
    // matches it exactly when it matches a 300-character prefix, which also ends in a tail
    // character rather than a line break "$" could stop before. This bounds the backtracking
    // of "{1,256}" against the tail.
    constexpr qsizetype prefixLength = 300;
    const QRegularExpression *regex = domainRegex();
    if (!regex || text.isEmpty())
        return false;
    for (QChar c : text) {
        if (!isDomainTailChar(c.unicode()))
            return false;
    }
    return regex->match(text.first(std::min(text.size(), prefixLength))).hasMatch();
}

bool matchesHtml(QStringView text)
{
    // After the tag name the pattern asks for "[^>]*>", which holds exactly when the text has a ">"
    // after it. So the regex only needs to see the tag name and a ">", and a huge text without
    // one is not searched once for every tag that could fit.
    const QRegularExpression *regex = htmlRegex();
    if (!regex || !text.startsWith(u'<'))
        return false;
    const qsizetype close = text.indexOf(u'>');
    if (close < 0)
        return false;
    // Every tag name is ASCII and at most 8 characters, each matching one code unit.
    constexpr qsizetype shortSubject = 16;
    bool matches = false;
    if (close < shortSubject) {
        matches = regex->match(text.first(close + 1)).hasMatch();
    } else {
        qsizetype cut = shortSubject;
        if (QChar::isLowSurrogate(text[cut].unicode()))
            ++cut;
        matches = regex->match(QString(text.first(cut) + u'>')).hasMatch();
    }
    // The engine refuses a subject with invalid UTF-16 as a whole.
    return matches && text.isValidUtf16();
}

bool containsCssBlock(QStringView text)
{
    // cssRegex can be quadratic, so it is matched by hand. "[...\s]+\s*\{" holds at a "{" exactly
    // when the character before it is in the class (\s is part of it). From the "{" on, the pattern
    // is deterministic up to ":", and "\s*[^;]+;" then means: the first ";" after the colon, with at
    // least one character before it. The colons only move forward, and so does the search for the
    // ";" after them; the blanks after a given ";" are scanned once.
    if (!cssRegex())
        return false;
    const char16_t *data = text.utf16();
    const qsizetype n = text.size();
    auto skip = [data, n](qsizetype i) {
        while (i < n && isPatternSpace(data[i]))
            ++i;
        return i;
    };
    qsizetype semicolon = 0; // the first ";" after the last colon, once searched
    qsizetype checkedSemicolon = -1;
    for (qsizetype brace = 1; brace < n; ++brace) {
        if (data[brace] != u'{' || !isCssSelectorChar(data[brace - 1]))
            continue;
        qsizetype i = skip(brace + 1);
        const qsizetype property = i;
        while (i < n && (isAsciiLetter(data[i]) || data[i] == u'-'))
            ++i;
        if (i == property)
            continue;
        i = skip(i);
        if (i >= n || data[i] != u':')
            continue;
        const qsizetype colon = i;
        if (semicolon <= colon) {
            semicolon = text.indexOf(u';', colon + 1);
            if (semicolon < 0)
                return false; // no later colon has a ";" after it either
        }
        if (semicolon == colon + 1 || semicolon == checkedSemicolon)
            continue;
        checkedSemicolon = semicolon;
        const qsizetype close = skip(semicolon + 1);
        if (close < n && data[close] == u'}')
            return text.isValidUtf16(); // the engine refuses invalid UTF-16 as a whole
    }
    return false;
}

} // namespace Vexilo::ContentDetector::Detail
