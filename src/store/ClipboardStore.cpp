// SPDX-License-Identifier: MIT
#include "ClipboardStore.h"

#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "ClipQuery.h"
#include "DefaultSnippets.h"
#include "FreedMemory.h"
#include "HistoryFile.h"
#include "HistoryJournal.h"
#include "HistoryWriter.h"
#include "LegacyMigration.h"
#include "Retention.h"
#include "TextArena.h"
#include "ThumbnailLoader.h"

#include <QDir>

namespace Vexilo {

ClipboardStore::ClipboardStore(StoreEnvironment environment, QObject *parent)
    : QObject(parent)
    , m_env(std::move(environment))
    , m_paths(m_env.paths)
{
    Q_ASSERT(m_env.settings);
    if (!m_env.clock) {
        m_systemClock = std::make_unique<SystemClock>();
        m_env.clock = m_systemClock.get();
    }
    if (!m_env.screenScale)
        m_env.screenScale = ThumbnailLoader::primaryScreenScale;
    if (!m_env.log)
        m_env.log = [](const QString &) {};

    connect(m_env.settings, &AppSettings::valueChanged, this, &ClipboardStore::settingsChanged);

    m_thumbnails = std::make_unique<ThumbnailLoader>(ThumbnailLoader::decodeThumbnail, m_env.screenScale);
    m_journal = std::make_unique<HistoryJournal>(m_paths.journalFile(), m_env.log);
    m_writer = std::make_unique<HistoryWriter>(
        m_paths.historyFile(), m_env.log, this, [this] { compactMemory(); }, m_journal.get());

    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(m_env.saveDebounceMs);
    connect(&m_saveTimer, &QTimer::timeout, this, [this] { m_writer->writeAsync(m_items, m_journal->mark()); });

    m_undoAlarm = m_env.clock->createAlarm([this] { commitPendingUndoDeletion(); });

    if (const auto stored = m_env.settings->stringListValue(AppStorageKeys::ignoredAppBundleIds)) {
        m_ignoredAppBundleIds = QSet<QString>(stored->cbegin(), stored->cend());
    } else {
        const QStringList defaults = AppStorageKeys::defaultIgnoredAppBundleIds();
        m_ignoredAppBundleIds = QSet<QString>(defaults.cbegin(), defaults.cend());
    }

    // A history that exists but cannot be read must not be migrated over, seeded or saved over.
    if (const std::optional<QString> reason = HistoryFile::unreadableReason(m_paths.historyFile())) {
        refuseHistory(*reason);
    } else {
        LegacyMigration::migrateLegacyStorageIfNeeded(m_paths, m_env.log);
        createDirectoriesIfNeeded();
        loadHistory();
    }
    if (m_historyProblem.isEmpty()) {
        cleanExpiredItems();
        seedDefaultSnippetsIfNeeded();
    }
    setupDebouncedSearch();
    recalculateFilteredItems();
}

ClipboardStore::~ClipboardStore()
{
    // A deletion still inside its undo window is final once the store goes, and whatever is still
    // waiting for its debounce is written.
    commitPendingUndoDeletion();
    if (m_saveTimer.isActive())
        saveHistorySynchronously();
    m_writer.reset();
    m_journal.reset();
}

double ClipboardStore::now() const
{
    return m_env.clock->now();
}

void ClipboardStore::log(const QString &line) const
{
    m_env.log(line);
}

void ClipboardStore::playSound(FeedbackSound sound) const
{
    if (m_env.playSound)
        m_env.playSound(sound);
}

// --- persistence

void ClipboardStore::createDirectoriesIfNeeded()
{
    QDir().mkpath(m_paths.storageDirectory);
    QDir().mkpath(m_paths.imagesDirectory());
}

void ClipboardStore::loadHistory()
{
    HistoryFile::LoadResult loaded = HistoryFile::load(m_paths.historyFile(), m_env.log);
    if (!loaded.unreadable.isEmpty())
        return refuseHistory(loaded.unreadable);
    // Changes made after the file was last written, before the process ended.
    const HistoryJournal::Replay replay = HistoryJournal::replay(m_paths.journalFile(), loaded.items);
    if (replay.unreadable)
        return refuseHistory(replay.problem);
    if (!replay.problem.isEmpty())
        log(QStringLiteral("Vexilo: Read %1 changes of the history journal; %2")
                .arg(replay.changes)
                .arg(replay.problem));
    if (!loaded.existed && replay.changes == 0)
        return;
    setItems(std::move(loaded.items));
    setSelectedItem(m_items.isEmpty() ? std::nullopt : std::optional(m_items.constFirst()));
    // A file moved aside is replaced by what was kept of it at once: were the process to end before
    // a debounced save, the next start would find no history and run the legacy migration over it.
    // A replayed journal is folded into the file at once too.
    if (!loaded.preservedPath.isEmpty() || replay.changes > 0 || !replay.problem.isEmpty())
        saveHistorySynchronously();
}

void ClipboardStore::journalAdded(const ClipItem &clip)
{
    if (m_historyProblem.isEmpty())
        m_journal->recordAdded(clip);
}

void ClipboardStore::journalUpdated(int index)
{
    if (m_historyProblem.isEmpty() && index >= 0 && index < m_items.size())
        m_journal->recordUpdated(m_items.at(index));
}

void ClipboardStore::journalRemoved(const QList<ClipItem> &removed)
{
    if (!m_historyProblem.isEmpty() || removed.isEmpty())
        return;
    QList<QUuid> ids;
    ids.reserve(removed.size());
    for (const ClipItem &clip : removed)
        ids.append(clip.id());
    m_journal->recordRemoved(ids);
}

void ClipboardStore::refuseHistory(const QString &reason)
{
    m_historyProblem = reason;
    log(QStringLiteral("Failed to load clipboard history: cannot read ") + reason +
        QStringLiteral(". Nothing is recorded or saved until Vexilo can read it; the file was left as it is."));
}

void ClipboardStore::saveHistory()
{
    if (m_historyProblem.isEmpty())
        m_saveTimer.start();
}

void ClipboardStore::saveHistorySynchronously()
{
    m_saveTimer.stop();
    if (m_historyProblem.isEmpty())
        m_writer->writeNow(m_items, m_journal->mark());
}

void ClipboardStore::compactMemory()
{
    // Only after a clip read from the file went away can a block of texts have become sparse.
    const quint64 releases = TextArena::releaseCount();
    const bool sparseArenas = releases != m_seenArenaReleases;
    m_seenArenaReleases = releases;
    const bool sparseStorage = ClipItem::storageIsSparse();
    if (!sparseArenas && !sparseStorage)
        return;
    bool moved = false;
    if (sparseStorage) {
        ClipItem::beginFreshStorage();
        for (ClipItem &item : m_items)
            item.moveToFreshStorage();
        if (m_undoDeleteItem)
            m_undoDeleteItem->moveToFreshStorage();
        moved = true;
    } else {
        for (ClipItem &item : m_items)
            moved = item.leaveSparseArena() || moved;
        if (m_undoDeleteItem)
            moved = m_undoDeleteItem->leaveSparseArena() || moved;
    }
    if (!moved)
        return;
    // The cached lists still share the old copies; rebuilt from the history, they let go of them and
    // the block goes back to the system.
    m_lastSearch.reset();
    m_members.reset();
    m_filteredItems = {};
    recalculateFilteredItems();
    if (m_selectedItem)
        refreshSelection(indexOf(m_selectedItem->id()));
    if (m_activeQRCodeItem)
        m_activeQRCodeItem = item(m_activeQRCodeItem->id()).value_or(*m_activeQRCodeItem);
    FreedMemory::giveBack();
}

void ClipboardStore::setItems(QList<ClipItem> items)
{
    m_items = std::move(items);
    publishItems();
}

void ClipboardStore::publishPrepended(const ClipItem &clip)
{
    const quint64 previous = m_itemsRevision++;
    if (m_countsRevision == previous) {
        ClipQuery::AggregateCounts counts{m_categoryCounts, m_tagCounts};
        ClipQuery::addToCounts(counts, clip);
        m_categoryCounts = std::move(counts.categoryCounts);
        m_tagCounts = std::move(counts.tagCounts);
        m_countsRevision = m_itemsRevision;
        Q_EMIT countsChanged();
    }
    if (m_members && m_members->itemsRevision == previous) {
        m_members->itemsRevision = m_itemsRevision;
        if (ClipQuery::belongsTo(clip, m_members->category) &&
            (!m_members->tag || clip.tags().contains(*m_members->tag))) {
            // Before every clip it does not follow: the top clip of the history wins ties. The
            // published list shares this one; it is rebuilt below, and letting go of it first
            // spares a copy of the whole list.
            m_filteredItems = {};
            QList<ClipItem> &list = m_members->list;
            const auto at = std::lower_bound(list.begin(), list.end(), clip, ClipQuery::comesBefore);
            list.insert(at - list.begin(), clip);
        }
    }
    Q_EMIT itemsChanged();
    recalculateFilteredItems();
}

void ClipboardStore::publishItems()
{
    ++m_itemsRevision;
    Q_EMIT itemsChanged();
    recalculateFilteredItems();
}

int ClipboardStore::indexOf(const QUuid &id) const
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).id() == id)
            return int(i);
    }
    return -1;
}

std::optional<ClipItem> ClipboardStore::item(const QUuid &id) const
{
    const int index = indexOf(id);
    return index < 0 ? std::nullopt : std::optional(m_items.at(index));
}

void ClipboardStore::refreshSelection(int index)
{
    if (m_selectedItem && index >= 0 && index < m_items.size() && m_selectedItem->id() == m_items.at(index).id())
        setSelectedItem(m_items.at(index));
}

// --- retention and seeding

void ClipboardStore::enforceLimit()
{
    Retention::Outcome outcome = Retention::enforceLimit(m_items, maxHistoryLimit());
    if (!outcome.changed)
        return;
    journalRemoved(outcome.removed);
    deleteImageFiles(outcome.removed);
    setItems(std::move(outcome.items));
}

void ClipboardStore::cleanExpiredItems()
{
    const int days = autoClearDays();
    if (days < 1)
        return;
    Retention::Outcome outcome = Retention::removeExpired(m_items, Retention::cutoffForDays(now(), days));
    if (outcome.changed) {
        journalRemoved(outcome.removed);
        deleteImageFiles(outcome.removed);
        setItems(std::move(outcome.items));
    }
    saveHistory();
}

void ClipboardStore::seedDefaultSnippetsIfNeeded()
{
    for (const ClipItem &item : std::as_const(m_items)) {
        if (item.isSnippet())
            return;
    }
    m_items.append(DefaultSnippets::defaults(now()));
    publishItems();
    saveHistory();
}

// --- published state

void ClipboardStore::setPaused(bool paused)
{
    if (m_isPaused == paused)
        return;
    m_isPaused = paused;
    Q_EMIT isPausedChanged();
}

void ClipboardStore::setIgnoredAppBundleIds(const QSet<QString> &ids)
{
    m_ignoredAppBundleIds = ids;
    QStringList list(ids.cbegin(), ids.cend());
    list.sort();
    m_env.settings->setStringList(AppStorageKeys::ignoredAppBundleIds, list);
    Q_EMIT ignoredAppBundleIdsChanged();
}

bool ClipboardStore::presentQR(const ClipItem &item)
{
    if (!m_env.qrPayload || m_env.qrPayload(item).isEmpty())
        return false;
    m_activeQRCodeItem = item;
    Q_EMIT activeQRCodeItemChanged();
    return true;
}

void ClipboardStore::dismissQR()
{
    m_activeQRCodeItem.reset();
    Q_EMIT activeQRCodeItemChanged();
    if (m_env.stopSharing)
        m_env.stopSharing();
}

void ClipboardStore::setShouldOpenNewSnippet(bool value)
{
    if (m_shouldOpenNewSnippet == value)
        return;
    m_shouldOpenNewSnippet = value;
    Q_EMIT shouldOpenNewSnippetChanged();
}

void ClipboardStore::setSearchFieldFocused(bool focused)
{
    if (m_isSearchFieldFocused == focused)
        return;
    m_isSearchFieldFocused = focused;
    Q_EMIT isSearchFieldFocusedChanged();
}

void ClipboardStore::requestSearchFocus()
{
    ++m_searchFocusRequest;
    Q_EMIT searchFocusRequestChanged();
}

void ClipboardStore::resignSearchFocus()
{
    if (!m_isSearchFieldFocused)
        return;
    setSearchFieldFocused(false);
    ++m_searchResignRequest;
    Q_EMIT searchResignRequestChanged();
}

void ClipboardStore::requestInspectorToggle()
{
    ++m_inspectorToggleRequest;
    Q_EMIT inspectorToggleRequestChanged();
}

} // namespace Vexilo
