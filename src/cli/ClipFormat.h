// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

// How the command-line client prints clips as text.
namespace Vexilo::ClipFormat {

// One line per clip: position, the first 8 id digits, the type badge, the title, cut with "…" so
// that the line fits `columns` terminal columns.
[[nodiscard]] QString listLines(const QList<ClipItem> &items, int columns);
// One line per snippet: position, the first 8 id digits, the shortcut (or "-"), the title, cut the
// same way.
[[nodiscard]] QString snippetLines(const QList<ClipItem> &snippets, int columns);
// Every field that is present and the derived texts, then the text itself.
[[nodiscard]] QString details(const ClipItem &item, double now);
[[nodiscard]] QString details(const ClipItem &item);

// The first 8 hex digits of the id, upper case.
[[nodiscard]] QString shortId(const ClipItem &item);
// Line breaks and tabs become blanks, so one clip stays on one line.
[[nodiscard]] QString oneLine(const QString &text);
// The start of text, on one line, that fits in `columns` terminal columns; cut with "…" when it
// does not fit whole. Wide (East Asian) characters take two columns, combining marks none.
[[nodiscard]] QString fitted(QStringView text, int columns);

} // namespace Vexilo::ClipFormat
