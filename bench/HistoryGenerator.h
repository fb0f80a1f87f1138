// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

#include <QList>

namespace Vexilo::Bench {

// A heavy user's history: mostly text of 20 to 2,000 characters (short ones far more common), some
// code, links, image records and file lists, tags on a tenth, a few pinned, the default snippets.
// The same seed always gives the same history.
[[nodiscard]] QList<ClipItem> generateHistory(int count, quint32 seed, double newest);

// Prose of roughly `length` characters, for large-copy measurements.
[[nodiscard]] QString prose(qsizetype length, quint32 seed);

} // namespace Vexilo::Bench
