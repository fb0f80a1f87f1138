// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

#include <QColor>

namespace Vexilo::ClipRowText {

// "App: gist", the gist alone, "from App" or "Clipboard item".
[[nodiscard]] QString subtitle(const ClipItem &item);
// "#first", "#first +N", or empty without tags.
[[nodiscard]] QString tagsChip(const QStringList &tags);
// The name of the clip's tab: "Snippets" for snippets, else "Text", "Image", "Links", "Code", "Files".
[[nodiscard]] QString categoryName(const ClipItem &item);
// The type badge's own colour; invalid where the theme decides (see tileTint).
[[nodiscard]] QColor badgeTint(const ClipItem &item);
// The theme colour of the type tile, and of the badge when badgeTint is invalid: "secondary" for
// text, "blue" otherwise.
[[nodiscard]] QString tileTint(const ClipItem &item);
// What stands for the clip at the start of its row: "snippet", "image", "app" (the source
// application's icon, the tile when none is found) or "tile".
[[nodiscard]] QString visualKind(const ClipItem &item);
[[nodiscard]] QString tileIcon(const ClipItem &item);
// The detected language in capitals, empty when none.
[[nodiscard]] QString language(const ClipItem &item);

} // namespace Vexilo::ClipRowText
