// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QList>
#include <QString>

namespace Vexilo {

// Colouring of code clips: one language-agnostic tokenizer and one keyword and type table for every
// language that detection reports.
namespace CodeHighlighter {

enum class TokenClass : quint8 { String, Keyword, Type, Number, Attribute, Plain, Comment };

struct Token
{
    QString text;
    TokenClass tokenClass = TokenClass::Plain;
    friend bool operator==(const Token &, const Token &) = default;
};

struct TokenStyle
{
    QColor color;
    bool bold = false;
    bool italic = false;
};

[[nodiscard]] TokenStyle style(TokenClass tokenClass);

[[nodiscard]] bool isKeyword(QStringView word);
[[nodiscard]] bool isType(QStringView word);

// A line whose text, without blanks and tabs at both ends, starts with "//", "#" or "/*".
[[nodiscard]] bool isCommentLine(QStringView line);
// The classified tokens of one line that is not a comment.
[[nodiscard]] QList<Token> parseTokens(QStringView line);
// A comment line as one Comment token (untrimmed), otherwise parseTokens().
[[nodiscard]] QList<Token> highlightedLine(QStringView line);

} // namespace CodeHighlighter

} // namespace Vexilo
