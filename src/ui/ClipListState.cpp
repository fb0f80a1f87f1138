// SPDX-License-Identifier: MIT
#include "ClipListState.h"

#include "ClipboardStore.h"
#include "TextUtils.h"

using namespace Qt::StringLiterals;

namespace Vexilo {

ClipListState::ClipListState(ClipboardStore &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
    for (auto signal :
         {&ClipboardStore::filteredItemsChanged, &ClipboardStore::countsChanged, &ClipboardStore::searchQueryChanged,
          &ClipboardStore::selectedCategoryChanged, &ClipboardStore::selectedTagChanged})
        connect(&store, signal, this, &ClipListState::follow);
    follow();
}

void ClipListState::follow()
{
    // Snippets are seeded on first start: a history of snippets alone has not been used yet.
    setInputs({m_store.count(ClipType::All) == 0, m_store.selectedCategory(), m_store.selectedTag(),
               m_store.searchQuery(), int(m_store.filteredItems().size())});
}

void ClipListState::setInputs(const Inputs &inputs)
{
    if (inputs == m_inputs)
        return;
    m_inputs = inputs;
    Q_EMIT changed();
}

bool ClipListState::isFiltering() const
{
    return m_inputs.category != ClipType::All || m_inputs.tag || !TextUtils::trimmed(m_inputs.search).isEmpty();
}

QString ClipListState::resultCountText() const
{
    return m_inputs.resultCount == 1 ? u"1 result"_s : QString::number(m_inputs.resultCount) + u" results"_s;
}

QString ClipListState::emptyIcon() const
{
    return m_inputs.historyEmpty ? u"clipboard"_s : u"magnifyingglass"_s;
}

QString ClipListState::emptyTitle() const
{
    if (m_inputs.historyEmpty)
        return u"No clipboard items yet"_s;
    if (const QStringView search = TextUtils::trimmed(m_inputs.search); !search.isEmpty())
        return u"No matches for \""_s + search + u'"';
    if (m_inputs.tag)
        return u"No clips with #"_s + *m_inputs.tag;
    return u"No clips in "_s + ClipTypes::rawValue(m_inputs.category);
}

QString ClipListState::emptySubtitle() const
{
    if (m_inputs.historyEmpty)
        return u"Copy text, images, code, or links to get started."_s;
    if (isFiltering())
        return u"Try a different keyword, tag, or category."_s;
    return u"Copy something new to see it here."_s;
}

} // namespace Vexilo
