// SPDX-License-Identifier: MIT
// PLACEHOLDER: being implemented.
#include "CodeHighlighter.h"
namespace Vexilo::CodeHighlighter {
TokenStyle style(TokenClass) { return {}; }
bool isKeyword(QStringView) { return false; }
bool isType(QStringView) { return false; }
bool isCommentLine(QStringView) { return false; }
QList<Token> parseTokens(QStringView) { return {}; }
QList<Token> highlightedLine(QStringView) { return {}; }
}
