// SPDX-License-Identifier: MIT
#include "CodeBlockFormatter.h"

#include "CodeHighlighter.h"
#include "TextUtils.h"

#include <QColor>

namespace Vexilo::CodeBlockFormatter {

namespace {

using CodeHighlighter::TokenClass;

// The block's background; comment grey is white at 40 % on it.
const QColor background = QColor::fromRgbF(0.08f, 0.09f, 0.13f);

QString spanStyle(TokenClass tokenClass)
{
    const CodeHighlighter::TokenStyle style = CodeHighlighter::style(tokenClass);
    QString css = QStringLiteral("color:") + htmlColor(int(tokenClass));
    if (style.bold)
        css += QStringLiteral(";font-weight:bold");
    if (style.italic)
        css += QStringLiteral(";font-style:italic");
    return css;
}

void appendLine(QString &html, QStringView line)
{
    const QList<CodeHighlighter::Token> tokens = CodeHighlighter::highlightedLine(line);
    // Neighbouring tokens of one class share a span: most of a line is plain words and blanks.
    qsizetype i = 0;
    while (i < tokens.size()) {
        const TokenClass tokenClass = tokens.at(i).tokenClass;
        QString run;
        for (; i < tokens.size() && tokens.at(i).tokenClass == tokenClass; ++i)
            run += tokens.at(i).text;
        html += QStringLiteral("<span style=\"") + spanStyle(tokenClass) + QStringLiteral("\">") + run.toHtmlEscaped() +
            QStringLiteral("</span>");
    }
}

} // namespace

QString htmlColor(int tokenClass)
{
    const QColor color = CodeHighlighter::style(TokenClass(tokenClass)).color;
    const float a = color.alphaF();
    const QColor blended = QColor::fromRgbF(color.redF() * a + background.redF() * (1 - a),
                                            color.greenF() * a + background.greenF() * (1 - a),
                                            color.blueF() * a + background.blueF() * (1 - a));
    return blended.name(QColor::HexRgb);
}

CodeBlock format(QStringView code, int maxLines)
{
    CodeBlock block;
    block.html = QStringLiteral("<div style=\"white-space:pre\">");
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = TextUtils::findLineBreak(code, start);
        if (block.shownLines > 0) {
            block.html += QStringLiteral("<br>");
            block.lineNumbers += u'\n';
        }
        appendLine(block.html, code.sliced(start, end - start));
        ++block.shownLines;
        block.lineNumbers += QString::number(block.shownLines);
        if (end == code.size())
            break;
        start = end + 1;
        if (block.shownLines == maxLines) {
            block.moreLines = true;
            break;
        }
    }
    block.html += QStringLiteral("</div>");
    return block;
}

} // namespace Vexilo::CodeBlockFormatter
