// SPDX-License-Identifier: MIT
#include "CodeHighlighter.h"

#include "TextUtils.h"

#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <string_view>
#include <unordered_set>

namespace Vexilo::CodeHighlighter {

namespace {

const QRegularExpression &tokenRegex()
{
    static const QRegularExpression regex = [] {
        QRegularExpression re(QStringLiteral("(\"[^\"]*\"|'[^']*'|[a-zA-Z_@][a-zA-Z0-9_]*|\\d+|[^\\s\\w]+|\\s+)"),
                              QRegularExpression::UseUnicodePropertiesOption);
        re.optimize();
        return re;
    }();
    return regex;
}

std::u16string_view toStd(QStringView view)
{
    return {view.utf16(), size_t(view.size())};
}

const std::unordered_set<std::u16string_view> &keywords()
{
    static const std::unordered_set<std::u16string_view> set = {
        u"import",    u"export",   u"from",   u"default", u"func",        u"def",      u"function",
        u"var",       u"let",      u"const",  u"struct",  u"class",       u"enum",     u"protocol",
        u"extension", u"guard",    u"if",     u"else",    u"for",         u"while",    u"return",
        u"switch",    u"case",     u"public", u"private", u"fileprivate", u"internal", u"static",
        u"mutating",  u"override", u"async",  u"await",   u"try",         u"throw",    u"throws",
        u"SELECT",    u"FROM",     u"WHERE",  u"INSERT",  u"UPDATE",      u"DELETE",
    };
    return set;
}

const std::unordered_set<std::u16string_view> &types()
{
    static const std::unordered_set<std::u16string_view> set = {
        u"String",       u"Int",          u"Double", u"Float",  u"Bool",     u"Array",
        u"Dictionary",   u"Set",          u"View",   u"some",   u"Self",     u"Any",
        u"Void",         u"Promise",      u"Object", u"Number", u"null",     u"nil",
        u"undefined",    u"true",         u"false",  u"@State", u"@Binding", u"@ObservedObject",
        u"@StateObject", u"@Environment",
    };
    return set;
}

// A decimal integer, or a token a standard floating-point parser reads whole. Tokens never carry a
// sign or a dot, so in practice this is an ASCII digit run or inf, infinity and nan in any case.
// Digits of other scripts (which \d matches) are not numbers to such a parser.
bool isNumber(QStringView token)
{
    if (token.isEmpty() || token.size() > 64)
        return false;
    char ascii[64];
    for (qsizetype i = 0; i < token.size(); ++i) {
        const char16_t c = token[i].unicode();
        if (c >= 0x80)
            return false;
        ascii[i] = char(c);
    }
    const char *begin = ascii;
    const char *end = ascii + token.size();
    if (std::all_of(begin, end, [](char c) { return c >= '0' && c <= '9'; }))
        return true;
    double value = 0;
    // Out-of-range values still parse (to infinity or zero), as they would for any float parser.
    return std::from_chars(begin, end, value).ptr == end;
}

TokenClass classify(QStringView token)
{
    if (token.startsWith(u'"') || token.startsWith(u'\''))
        return TokenClass::String;
    if (isKeyword(token))
        return TokenClass::Keyword;
    if (isType(token))
        return TokenClass::Type;
    if (isNumber(token))
        return TokenClass::Number;
    if (token.startsWith(u'@'))
        return TokenClass::Attribute;
    return TokenClass::Plain;
}

} // namespace

TokenStyle style(TokenClass tokenClass)
{
    switch (tokenClass) {
    case TokenClass::String:
        return {QColor::fromRgbF(0.5f, 0.85f, 0.65f), false, false};
    case TokenClass::Keyword:
        return {QColor::fromRgbF(0.38f, 0.68f, 1.0f), true, false};
    case TokenClass::Type:
        return {QColor::fromRgbF(0.55f, 0.82f, 0.98f), false, false};
    case TokenClass::Number:
        return {QColor::fromRgbF(0.7f, 0.85f, 0.98f), false, false};
    case TokenClass::Attribute:
        return {QColor::fromRgbF(0.45f, 0.75f, 1.0f), false, false};
    case TokenClass::Plain:
        return {QColor::fromRgbF(0.9f, 0.92f, 0.96f), false, false};
    case TokenClass::Comment:
        return {QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.4f), false, true};
    }
    return {};
}

bool isKeyword(QStringView word)
{
    return keywords().contains(toStd(word));
}

bool isType(QStringView word)
{
    return types().contains(toStd(word));
}

bool isCommentLine(QStringView line)
{
    const QStringView stripped = TextUtils::trimmedBlanks(line);
    return stripped.startsWith(u"//") || stripped.startsWith(u'#') || stripped.startsWith(u"/*");
}

QList<Token> parseTokens(QStringView line)
{
    const QRegularExpression &regex = tokenRegex();
    if (!regex.isValid())
        return {Token{line.toString(), TokenClass::Plain}};

    QList<Token> tokens;
    qsizetype position = 0;
    auto it = regex.globalMatch(line);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        // Characters no alternative matches (a token starting with an accented or non-Latin letter)
        // are kept as plain text, so the highlighted line always reads like the original.
        if (match.capturedStart() > position)
            tokens.append({line.sliced(position, match.capturedStart() - position).toString(), TokenClass::Plain});
        const QStringView text = match.capturedView();
        tokens.append({text.toString(), classify(text)});
        position = match.capturedEnd();
    }
    if (position < line.size())
        tokens.append({line.sliced(position).toString(), TokenClass::Plain});
    return tokens;
}

QList<Token> highlightedLine(QStringView line)
{
    if (isCommentLine(line))
        return {Token{line.toString(), TokenClass::Comment}};
    return parseTokens(line);
}

} // namespace Vexilo::CodeHighlighter
