// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

#include <QHash>
#include <QList>
#include <QMap>

// The query rules shared by every list: category membership, the list order, tag normalisation.
namespace Vexilo::ClipQuery {

[[nodiscard]] bool belongsTo(const ClipItem &item, ClipType category);

// Pinned first, then newer before older; stable for equal keys.
[[nodiscard]] bool comesBefore(const ClipItem &a, const ClipItem &b);
void sortByPinnedThenDate(QList<ClipItem> &items);

// Trims white space and line breaks, then removes every "#". May be empty.
[[nodiscard]] QString normalizeTag(QStringView tag);
// Splits at ",", normalises each piece and drops empty ones; order and duplicates kept.
[[nodiscard]] QStringList parseTags(QStringView input);

struct AggregateCounts
{
    QHash<ClipType, int> categoryCounts; // a category without clips has no entry
    QHash<QString, int> tagCounts;       // a tag nobody carries has no entry
};
[[nodiscard]] AggregateCounts aggregateCounts(const QList<ClipItem> &items);

} // namespace Vexilo::ClipQuery
