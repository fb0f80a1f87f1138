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

CodeBlock format(QStringView code, int maxLines, int linesPerPiece)
{
    static const QString open = QStringLiteral("<div style=\"white-space:pre\">");
    static const QString close = QStringLiteral("</div>");
    CodeBlock block;
    Piece piece;
    int linesInPiece = 0;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = TextUtils::findLineBreak(code, start);
        if (linesInPiece == 0) {
            piece.html = open;
        } else {
            piece.html += QStringLiteral("<br>");
            piece.lineNumbers += u'\n';
        }
        appendLine(piece.html, code.sliced(start, end - start));
        ++block.shownLines;
        ++linesInPiece;
        piece.lineNumbers += QString::number(block.shownLines);
        const bool last = end == code.size();
        if (!last && block.shownLines == maxLines)
            block.moreLines = true;
        if (last || block.moreLines || linesInPiece == linesPerPiece) {
            piece.html += close;
            block.pieces.append(std::move(piece));
            piece = {};
            linesInPiece = 0;
        }
        if (last || block.moreLines)
            break;
        start = end + 1;
    }
    return block;
}

} // namespace Vexilo::CodeBlockFormatter
