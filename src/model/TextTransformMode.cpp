// SPDX-License-Identifier: MIT
#include "TextTransformMode.h"

#include "JsonWriter.h"
#include "TextUtils.h"

#include <QByteArray>
#include <QStringDecoder>
#include <array>
#include <string_view>

namespace Vexilo::TextTransformModes {

namespace {

struct ModeNames
{
    QStringView raw;
    QStringView icon;
    QStringView caseName;
};

ModeNames names(TextTransformMode mode)
{
    switch (mode) {
    case TextTransformMode::Uppercase:
        return {u"UPPERCASE", u"textformat.size.larger", u"uppercase"};
    case TextTransformMode::Lowercase:
        return {u"lowercase", u"textformat.size.smaller", u"lowercase"};
    case TextTransformMode::TitleCase:
        return {u"Title Case", u"textformat", u"titleCase"};
    case TextTransformMode::TrimWhitespace:
        return {u"Trim Whitespace", u"scissors", u"trimWhitespace"};
    case TextTransformMode::SingleLine:
        return {u"Single Line", u"arrow.right.to.line", u"singleLine"};
    case TextTransformMode::JsonEscaped:
        return {u"JSON Escaped", u"curlybraces", u"jsonEscaped"};
    case TextTransformMode::UrlEncoded:
        return {u"URL Encoded", u"link", u"urlEncoded"};
    case TextTransformMode::Base64Encoded:
        return {u"Base64 Encode", u"lock.fill", u"base64Encoded"};
    case TextTransformMode::Base64Decoded:
        return {u"Base64 Decode", u"lock.open.fill", u"base64Decoded"};
    }
    return {};
}

char32_t codePointAt(QStringView text, qsizetype pos, qsizetype *length)
{
    const char16_t c = text[pos].unicode();
    if (QChar::isHighSurrogate(c) && pos + 1 < text.size() && QChar::isLowSurrogate(text[pos + 1].unicode())) {
        *length = 2;
        return QChar::surrogateToUcs4(c, text[pos + 1].unicode());
    }
    *length = 1;
    return c;
}

// Title form of one character with full mappings: "ß" gives "Ss", the "ﬁ" ligature "Fi", and the
// digraph "ǆ" its own title-case letter "ǅ".
QString titleCaseOf(char32_t c)
{
    const char32_t title = QChar::toTitleCase(c);
    if (title != QChar::toUpper(c))
        return QString::fromUcs4(&title, 1);
    const QString upper = QString::fromUcs4(&c, 1).toUpper();
    qsizetype firstLength = 0;
    codePointAt(upper, 0, &firstLength);
    return upper.first(firstLength) + upper.sliced(firstLength).toLower();
}

// The first letter or digit of the word decides: a letter is title-cased, a digit leaves the word's
// letters all lower case ("3rd"). Leading punctuation is skipped, so "(hello" gives "(Hello".
void appendTitleCasedWord(QString &out, QStringView word)
{
    qsizetype pos = 0;
    qsizetype length = 0;
    while (pos < word.size()) {
        if (QChar::isLetterOrNumber(codePointAt(word, pos, &length)))
            break;
        pos += length;
    }
    out += word.first(pos);
    if (pos == word.size())
        return;
    const char32_t first = codePointAt(word, pos, &length);
    if (QChar::isLetter(first))
        out += titleCaseOf(first);
    else
        out += word.sliced(pos, length);
    out += word.sliced(pos + length).toString().toLower();
}

QString titleCased(QStringView text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (TextUtils::isWhitespaceOrNewline(text[i].unicode())) {
            out += text[i++];
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && !TextUtils::isWhitespaceOrNewline(text[end].unicode()))
            ++end;
        appendTitleCasedWord(out, text.sliced(i, end - i));
        i = end;
    }
    return out;
}

QString singleLine(QStringView text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && TextUtils::isWhitespaceOrNewline(text[i].unicode()))
            ++i;
        const qsizetype start = i;
        while (i < text.size() && !TextUtils::isWhitespaceOrNewline(text[i].unicode()))
            ++i;
        if (i > start) {
            if (!out.isEmpty())
                out += u' ';
            out += text.sliced(start, i - start);
        }
    }
    return out;
}

QString jsonEscaped(QStringView text)
{
    QByteArray body;
    JsonWriter::appendEscaped(body, text);
    return QString::fromUtf8(body);
}

// The characters a URL query may carry unescaped.
constexpr auto queryAllowed = [] {
    std::array<bool, 128> table{};
    for (char c = 'a'; c <= 'z'; ++c)
        table[uchar(c)] = true;
    for (char c = 'A'; c <= 'Z'; ++c)
        table[uchar(c)] = true;
    for (char c = '0'; c <= '9'; ++c)
        table[uchar(c)] = true;
    for (char c : std::string_view("!$&'()*+,-./:;=?@_~"))
        table[uchar(c)] = true;
    return table;
}();

QString urlEncoded(QStringView text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    const QByteArray utf8 = text.toUtf8();
    QString out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        const auto byte = uchar(c);
        if (byte < 0x80 && queryAllowed[byte]) {
            out += QLatin1Char(c);
        } else {
            out += u'%';
            out += QLatin1Char(hex[byte >> 4]);
            out += QLatin1Char(hex[byte & 0xF]);
        }
    }
    return out;
}

bool isBase64Alphabet(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'+' || c == u'/';
}

// Strict: padding required and nothing outside the alphabet, so text that only resembles Base64
// (line-wrapped, URL-safe, unpadded) is refused rather than half decoded.
std::optional<QString> base64Decoded(QStringView text)
{
    const QStringView encoded = TextUtils::trimmed(text);
    if (encoded.size() % 4 != 0)
        return std::nullopt;
    int padding = 0;
    for (const QChar c : encoded) {
        if (c == u'=')
            ++padding;
        else if (padding > 0 || !isBase64Alphabet(c.unicode()))
            return std::nullopt;
    }
    if (padding > 2)
        return std::nullopt;

    const auto result = QByteArray::fromBase64Encoding(encoded.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return std::nullopt;
    // Stateless makes a sequence cut off at the end an error instead of pending input; the initial BOM
    // is kept so the text is exactly what the bytes say.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString decoded = decoder.decode(result.decoded);
    if (decoder.hasError())
        return std::nullopt;
    return decoded;
}

} // namespace

QString rawValue(TextTransformMode mode)
{
    return names(mode).raw.toString();
}

QString iconName(TextTransformMode mode)
{
    return names(mode).icon.toString();
}

QString caseName(TextTransformMode mode)
{
    return names(mode).caseName.toString();
}

std::optional<TextTransformMode> fromRawValue(QStringView raw)
{
    for (TextTransformMode mode : allCases) {
        if (raw == names(mode).raw)
            return mode;
    }
    return std::nullopt;
}

std::optional<TextTransformMode> fromCaseName(QStringView name)
{
    for (TextTransformMode mode : allCases) {
        if (name == names(mode).caseName)
            return mode;
    }
    return std::nullopt;
}

std::optional<QString> transform(TextTransformMode mode, const QString &text)
{
    switch (mode) {
    case TextTransformMode::Uppercase:
        return text.toUpper();
    case TextTransformMode::Lowercase:
        return text.toLower();
    case TextTransformMode::TitleCase:
        return titleCased(text);
    case TextTransformMode::TrimWhitespace:
        return TextUtils::trimmed(text).toString();
    case TextTransformMode::SingleLine:
        return singleLine(text);
    case TextTransformMode::JsonEscaped:
        return jsonEscaped(text);
    case TextTransformMode::UrlEncoded:
        return urlEncoded(text);
    case TextTransformMode::Base64Encoded:
        return QString::fromLatin1(text.toUtf8().toBase64());
    case TextTransformMode::Base64Decoded:
        return base64Decoded(text);
    }
    return text;
}

} // namespace Vexilo::TextTransformModes
