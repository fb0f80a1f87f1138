// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

namespace Vexilo::DefaultSnippets {

// A snippet clip: type Snippets, a new id, the given creation time.
[[nodiscard]] ClipItem makeSnippet(const QString &title, const QString &content, const std::optional<QString> &shortcut,
                                   const QStringList &tags, double createdAt);

// The two examples a history without any snippet starts with.
[[nodiscard]] QList<ClipItem> defaults(double createdAt);

} // namespace Vexilo::DefaultSnippets
