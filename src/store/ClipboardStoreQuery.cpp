// SPDX-License-Identifier: MIT
// The query side of the store: filter state, the filtered list, counts and the selection rule.
#include "ClipboardStore.h"

#include "ClipQuery.h"
#include "SearchText.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>

namespace Vexilo {

namespace {
// Below this size a parallel search costs more in hand-offs than it saves.
constexpr qsizetype parallelSearchThreshold = 4096;

// Tests a run of clips, loading the data of clips a few places ahead so that the memory latency of
// one clip overlaps the search of another.
void matchRange(const QList<ClipItem> &source, qsizetype begin, qsizetype end, const SearchQuery &query,
                QList<ClipItem> &out)
{
    constexpr qsizetype dataAhead = 16;
    constexpr qsizetype textAhead = 8;
    for (qsizetype i = begin; i < end; ++i) {
        if (i + dataAhead < end)
            source.at(i + dataAhead).prefetch();
        if (i + textAhead < end)
            source.at(i + textAhead).prefetchText();
        const ClipItem &item = source.at(i);
        if (item.matches(query))
            out.append(item);
    }
}

QList<ClipItem> matching(const QList<ClipItem> &source, const SearchQuery &query)
{
    QList<ClipItem> result;
    if (source.size() < parallelSearchThreshold) {
        matchRange(source, 0, source.size(), query, result);
        return result;
    }
    // Each worker collects the matches of its own slice; the slices are then joined in order.
    const int workers = qMax(1, QThreadPool::globalInstance()->maxThreadCount());
    const qsizetype sliceCount = qsizetype(workers) * 4;
    const qsizetype step = (source.size() + sliceCount - 1) / sliceCount;
    struct Slice
    {
        qsizetype begin;
        qsizetype end;
        QList<ClipItem> matches;
    };
    QList<Slice> slices;
    for (qsizetype begin = 0; begin < source.size(); begin += step)
        slices.append({begin, qMin(begin + step, source.size()), {}});
    QtConcurrent::blockingMap(slices,
                              [&](Slice &slice) { matchRange(source, slice.begin, slice.end, query, slice.matches); });
    qsizetype total = 0;
    for (const Slice &slice : std::as_const(slices))
        total += slice.matches.size();
    result.reserve(total);
    for (Slice &slice : slices)
        std::move(slice.matches.begin(), slice.matches.end(), std::back_inserter(result));
    return result;
}

} // namespace

void ClipboardStore::setSelectedCategory(ClipType category)
{
    const bool changed = m_selectedCategory != category;
    m_selectedCategory = category;
    if (changed)
        Q_EMIT selectedCategoryChanged();
    recalculateFilteredItems();
}

void ClipboardStore::setSelectedCategoryIndex(int index)
{
    if (index >= 0 && index < int(ClipTypes::allCases.size()))
        setSelectedCategory(ClipTypes::allCases[size_t(index)]);
}

void ClipboardStore::setSelectedTag(const std::optional<QString> &tag)
{
    const bool changed = m_selectedTag != tag;
    m_selectedTag = tag;
    if (changed)
        Q_EMIT selectedTagChanged();
    recalculateFilteredItems();
}

void ClipboardStore::setSearchQuery(const QString &query)
{
    if (m_searchQuery == query)
        return;
    m_searchQuery = query;
    Q_EMIT searchQueryChanged();
    // Typing restarts the debounce; equal values never reach it because of the check above.
    m_searchTimer.start();
}

void ClipboardStore::setupDebouncedSearch()
{
    m_searchTimer.setSingleShot(true);
    m_searchTimer.setInterval(m_env.searchDebounceMs);
    connect(&m_searchTimer, &QTimer::timeout, this, &ClipboardStore::recalculateFilteredItems);
    // The current value counts as the first change, so one recalculation follows the debounce.
    m_searchTimer.start();
}

void ClipboardStore::setSelectedItem(const std::optional<ClipItem> &item)
{
    if (m_selectedItem == item)
        return;
    m_selectedItem = item;
    Q_EMIT selectedItemChanged();
}

void ClipboardStore::ensureCountsAndMembers()
{
    const bool countsCurrent = m_countsRevision == m_itemsRevision;
    const bool membersCurrent = m_members && m_members->itemsRevision == m_itemsRevision &&
        m_members->category == m_selectedCategory && m_members->tag == m_selectedTag;
    if (countsCurrent && membersCurrent)
        return;
    ClipQuery::FilterPass pass = ClipQuery::countAndSelect(m_items, m_selectedCategory, m_selectedTag);
    if (!countsCurrent) {
        m_countsRevision = m_itemsRevision;
        if (pass.counts.categoryCounts != m_categoryCounts || pass.counts.tagCounts != m_tagCounts) {
            m_categoryCounts = std::move(pass.counts.categoryCounts);
            m_tagCounts = std::move(pass.counts.tagCounts);
            Q_EMIT countsChanged();
        }
    }
    if (!membersCurrent) {
        if (!pass.inListOrder)
            ClipQuery::sortByPinnedThenDate(pass.members);
        m_members = Members{m_itemsRevision, m_selectedCategory, m_selectedTag, std::move(pass.members)};
    }
}

void ClipboardStore::flushPendingSearch()
{
    if (!m_searchTimer.isActive())
        return;
    m_searchTimer.stop();
    recalculateFilteredItems();
}

void ClipboardStore::recalculateFilteredItems()
{
    ensureCountsAndMembers();
    const SearchQuery query(m_searchQuery);
    const bool narrowing = m_lastSearch && m_lastSearch->category == m_selectedCategory &&
        m_lastSearch->tag == m_selectedTag && m_lastSearch->itemsRevision == m_itemsRevision &&
        query.narrows(m_lastSearch->query);

    // Matches keep the order of the list they are taken from, which is list order.
    QList<ClipItem> result;
    if (narrowing)
        result = matching(m_lastSearch->matches, query);
    else
        result = query.isEmpty() ? m_members->list : matching(m_members->list, query);

    if (query.isEmpty())
        m_lastSearch.reset();
    else
        m_lastSearch = LastSearch{query, m_selectedCategory, m_selectedTag, m_itemsRevision, result};

    m_filteredItems = std::move(result);
    Q_EMIT filteredItemsChanged();
    syncSelectedItemWithFilter();
}

QList<ClipItem> ClipboardStore::candidates(ClipType category, const std::optional<QString> &tag) const
{
    QList<ClipItem> result;
    result.reserve(m_items.size());
    for (const ClipItem &item : std::as_const(m_items)) {
        if (!ClipQuery::belongsTo(item, category))
            continue;
        if (tag && !item.tags().contains(*tag))
            continue;
        result.append(item);
    }
    return result;
}

QList<ClipItem> ClipboardStore::filteredList(ClipType category, const std::optional<QString> &tag,
                                             const QString &search) const
{
    const SearchQuery query(search);
    QList<ClipItem> result = candidates(category, tag);
    if (!query.isEmpty())
        result = matching(result, query);
    ClipQuery::sortByPinnedThenDate(result);
    return result;
}

void ClipboardStore::syncSelectedItemWithFilter()
{
    if (m_selectedItem) {
        const QUuid id = m_selectedItem->id();
        for (const ClipItem &item : std::as_const(m_filteredItems)) {
            if (item.id() == id)
                return;
        }
    }
    setSelectedItem(m_filteredItems.isEmpty() ? std::nullopt : std::optional(m_filteredItems.constFirst()));
}

QList<ClipItem> ClipboardStore::items(const QString &matchingText, ClipType category, int limit,
                                      bool excludePinned) const
{
    const SearchQuery query(matchingText);
    QList<ClipItem> result;
    for (const ClipItem &item : std::as_const(m_items)) {
        if (!ClipQuery::belongsTo(item, category))
            continue;
        if (excludePinned && item.isPinned())
            continue;
        if (!query.isEmpty() && !item.matches(query))
            continue;
        result.append(item);
    }
    ClipQuery::sortByPinnedThenDate(result);
    if (result.size() > qMax(0, limit))
        result.resize(qMax(0, limit));
    return result;
}

int ClipboardStore::count(ClipType category) const
{
    return m_categoryCounts.value(category, 0);
}

int ClipboardStore::tagCount(const QString &tag) const
{
    return m_tagCounts.value(tag, 0);
}

QStringList ClipboardStore::allTags() const
{
    QStringList tags = m_tagCounts.keys();
    // Plain code-point order: upper-case names before lower-case ones.
    std::sort(tags.begin(), tags.end(), [](const QString &a, const QString &b) { return a.compare(b) < 0; });
    return tags;
}

int ClipboardStore::pinnedClipCount() const
{
    return count(ClipType::Pinned);
}

QString ClipboardStore::normalizeTag(QStringView tag)
{
    return ClipQuery::normalizeTag(tag);
}

QStringList ClipboardStore::parseTags(QStringView input)
{
    return ClipQuery::parseTags(input);
}

} // namespace Vexilo
