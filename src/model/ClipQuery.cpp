// SPDX-License-Identifier: MIT
#include "ClipQuery.h"

#include "TextUtils.h"

#include <algorithm>
#include <limits>

namespace Vexilo::ClipQuery {

bool belongsTo(const ClipItem &item, ClipType category)
{
    switch (category) {
    case ClipType::All:
        return !item.isSnippet();
    case ClipType::Pinned:
        return item.isPinned() && !item.isSnippet();
    case ClipType::Snippets:
        return item.isSnippet();
    case ClipType::Text:
        return item.type() == ClipType::Text && !item.isSnippet();
    case ClipType::Image:
    case ClipType::Url:
    case ClipType::Code:
    case ClipType::File:
        return item.type() == category;
    }
    return false;
}

bool comesBefore(const ClipItem &a, const ClipItem &b)
{
    if (a.isPinned() != b.isPinned())
        return a.isPinned();
    return a.createdAt() > b.createdAt();
}

void sortByPinnedThenDate(QList<ClipItem> &items)
{
    // The history is kept newest first with pinned clips where they were captured, so a stable
    // partition usually leaves both halves sorted; that is far cheaper than sorting 100,000 clips on
    // every filter run.
    auto newerFirst = [](const ClipItem &a, const ClipItem &b) { return a.createdAt() > b.createdAt(); };
    bool unpinnedSeen = false;
    bool needsPartition = false;
    for (const ClipItem &item : std::as_const(items)) {
        if (!item.isPinned())
            unpinnedSeen = true;
        else if (unpinnedSeen) {
            needsPartition = true;
            break;
        }
    }
    auto middle = items.begin();
    if (needsPartition) {
        QList<ClipItem> pinned;
        QList<ClipItem> rest;
        rest.reserve(items.size());
        for (ClipItem &item : items)
            (item.isPinned() ? pinned : rest).append(std::move(item));
        items = std::move(pinned);
        const qsizetype pinnedCount = items.size();
        items.append(std::move(rest));
        middle = items.begin() + pinnedCount;
    } else {
        middle = std::find_if(items.begin(), items.end(), [](const ClipItem &item) { return !item.isPinned(); });
    }
    if (!std::is_sorted(items.begin(), middle, newerFirst))
        std::stable_sort(items.begin(), middle, newerFirst);
    if (!std::is_sorted(middle, items.end(), newerFirst))
        std::stable_sort(middle, items.end(), newerFirst);
}

QString normalizeTag(QStringView tag)
{
    QString result = TextUtils::trimmed(tag).toString();
    result.remove(u'#');
    // "# #" would leave a tag that is only a blank; that is no tag at all.
    if (TextUtils::trimmed(result).isEmpty())
        result.clear();
    return result;
}

QStringList parseTags(QStringView input)
{
    QStringList tags;
    for (QStringView piece : input.tokenize(u',')) {
        QString tag = normalizeTag(piece);
        if (!tag.isEmpty())
            tags.append(std::move(tag));
    }
    return tags;
}

namespace {
void count(const ClipItem &item, int *perType, QHash<QString, int> &tagCounts)
{
    for (const QString &tag : item.tags())
        ++tagCounts[tag];
    if (item.isSnippet()) {
        ++perType[int(ClipType::Snippets)];
        return;
    }
    ++perType[int(ClipType::All)];
    if (item.isPinned())
        ++perType[int(ClipType::Pinned)];
    switch (item.type()) {
    case ClipType::Text:
    case ClipType::Image:
    case ClipType::Url:
    case ClipType::Code:
    case ClipType::File:
        ++perType[int(item.type())];
        break;
    default:
        break;
    }
}

void publish(const int *perType, AggregateCounts &counts)
{
    for (ClipType type : ClipTypes::allCases) {
        if (perType[int(type)] > 0)
            counts.categoryCounts.insert(type, perType[int(type)]);
    }
}
} // namespace

AggregateCounts aggregateCounts(const QList<ClipItem> &items)
{
    AggregateCounts counts;
    int perType[8] = {};
    for (const ClipItem &item : items)
        count(item, perType, counts.tagCounts);
    publish(perType, counts);
    return counts;
}

void addToCounts(AggregateCounts &counts, const ClipItem &item)
{
    int perType[8] = {};
    count(item, perType, counts.tagCounts);
    for (ClipType type : ClipTypes::allCases) {
        if (perType[int(type)] > 0)
            counts.categoryCounts[type] += perType[int(type)];
    }
}

FilterPass countAndSelect(const QList<ClipItem> &items, ClipType category, const std::optional<QString> &tag)
{
    // A single pass: with 100,000 clips, every extra walk over the history is a walk through memory.
    FilterPass pass;
    int perType[8] = {};
    pass.members.reserve(items.size());
    bool unpinnedSeen = false;
    double lastPinned = std::numeric_limits<double>::infinity();
    double lastUnpinned = std::numeric_limits<double>::infinity();
    for (const ClipItem &item : items) {
        count(item, perType, pass.counts.tagCounts);
        if (!belongsTo(item, category) || (tag && !item.tags().contains(*tag)))
            continue;
        pass.members.append(item);
        double &last = item.isPinned() ? lastPinned : lastUnpinned;
        if ((item.isPinned() && unpinnedSeen) || item.createdAt() > last)
            pass.inListOrder = false;
        last = item.createdAt();
        unpinnedSeen = unpinnedSeen || !item.isPinned();
    }
    publish(perType, pass.counts);
    return pass;
}

} // namespace Vexilo::ClipQuery
