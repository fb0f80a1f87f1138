// SPDX-License-Identifier: MIT
#include "ClipQuery.h"

#include "TextUtils.h"

#include <algorithm>

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
    // The history is kept newest first, so the list is usually sorted already; checking is cheaper
    // than sorting 100,000 clips on every filter run.
    if (std::is_sorted(items.cbegin(), items.cend(), comesBefore))
        return;
    std::stable_sort(items.begin(), items.end(), comesBefore);
}

QString normalizeTag(QStringView tag)
{
    QString result = TextUtils::trimmed(tag).toString();
    result.remove(u'#');
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

AggregateCounts aggregateCounts(const QList<ClipItem> &items)
{
    AggregateCounts counts;
    int perType[8] = {};
    for (const ClipItem &item : items) {
        for (const QString &tag : item.tags())
            ++counts.tagCounts[tag];
        if (item.isSnippet()) {
            ++perType[int(ClipType::Snippets)];
            continue;
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
    for (ClipType type : ClipTypes::allCases) {
        if (perType[int(type)] > 0)
            counts.categoryCounts.insert(type, perType[int(type)]);
    }
    return counts;
}

} // namespace Vexilo::ClipQuery
