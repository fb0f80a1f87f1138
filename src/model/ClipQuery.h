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

// Trims white space and line breaks, then removes every "#". Empty when nothing but blanks remains.
[[nodiscard]] QString normalizeTag(QStringView tag);
// Splits at ",", normalises each piece and drops empty ones; order and duplicates kept.
[[nodiscard]] QStringList parseTags(QStringView input);

struct AggregateCounts
{
    QHash<ClipType, int> categoryCounts; // a category without clips has no entry
    QHash<QString, int> tagCounts; // a tag nobody carries has no entry
};
[[nodiscard]] AggregateCounts aggregateCounts(const QList<ClipItem> &items);
// Counts one more clip into existing counts.
void addToCounts(AggregateCounts &counts, const ClipItem &item);

// One pass over the history for a filter run: the counts, the clips of `category` (and `tag`) in
// history order, and whether that list is already in list order.
struct FilterPass
{
    AggregateCounts counts;
    QList<ClipItem> members;
    bool inListOrder = true;
};
[[nodiscard]] FilterPass countAndSelect(const QList<ClipItem> &items, ClipType category,
                                        const std::optional<QString> &tag);

} // namespace Vexilo::ClipQuery
