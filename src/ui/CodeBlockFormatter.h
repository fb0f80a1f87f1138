// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

namespace Vexilo::CodeBlockFormatter {

// The highlighted lines of a code block as rich text for TextEdit items, in pieces of a few dozen
// lines with their line numbers, so that a list view lays out only the pieces on screen. Only the
// first maxLines lines are formatted.
struct Piece
{
    QString html;
    QString lineNumbers; // "41\n42\n43"
};

struct CodeBlock
{
    QList<Piece> pieces;
    int shownLines = 0;
    bool moreLines = false; // code beyond the shown lines
};
[[nodiscard]] CodeBlock format(QStringView code, int maxLines, int linesPerPiece);

// A token colour as the rich-text engine reads it: translucent colours are blended onto the
// block's background, as "#rrggbb".
[[nodiscard]] QString htmlColor(int tokenClass);

} // namespace Vexilo::CodeBlockFormatter
