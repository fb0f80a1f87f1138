// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace Vexilo::CodeBlockFormatter {

// The highlighted lines of a code block as rich text for a Text or TextEdit item, and the matching
// column of line numbers. Only the first maxLines lines are formatted: a code clip of thousands of
// lines shows its beginning at once instead of laying out all of it.
struct CodeBlock
{
    QString html;
    QString lineNumbers; // "1\n2\n3"
    int shownLines = 0;
    bool moreLines = false; // code beyond the shown lines
};
[[nodiscard]] CodeBlock format(QStringView code, int maxLines);

// A token colour as the rich-text engine reads it: translucent colours are blended onto the
// block's background, as "#rrggbb".
[[nodiscard]] QString htmlColor(int tokenClass);

} // namespace Vexilo::CodeBlockFormatter
