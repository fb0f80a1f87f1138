// SPDX-License-Identifier: MIT
#include "MenuBarPopoverModel.h"

#include "ClipboardStore.h"

#include <QUuid>

namespace Vexilo {

MenuBarPopoverModel::MenuBarPopoverModel(Dependencies dependencies, QObject *parent)
    : QObject(parent)
    , m_deps(std::move(dependencies))
    , m_clips(std::make_unique<MenuBarClipListModel>())
{
    Q_ASSERT(m_deps.store && m_deps.clock);
    m_feedbackAlarm = m_deps.clock->createAlarm([this] { setFeedback({}, {}); });
    m_itemLimit = itemLimit();
    ClipboardStore *store = m_deps.store;
    connect(store, &ClipboardStore::itemsChanged, this, &MenuBarPopoverModel::historyChanged);
    connect(store, &ClipboardStore::isPausedChanged, this, &MenuBarPopoverModel::isPausedChanged);
    connect(store, &ClipboardStore::settingsChanged, this, [this] {
        if (itemLimit() == m_itemLimit)
            return;
        m_itemLimit = itemLimit();
        Q_EMIT itemLimitChanged();
        historyChanged();
    });
    refresh();
}

MenuBarPopoverModel::~MenuBarPopoverModel() = default;

void MenuBarPopoverModel::setSearchText(const QString &text)
{
    if (m_searchText == text)
        return;
    m_searchText = text;
    Q_EMIT searchTextChanged();
    Q_EMIT emptyMessageChanged();
    refresh();
}

void MenuBarPopoverModel::setSelectedFilter(int filter)
{
    if (filter < 0 || filter >= int(ClipTypes::allCases.size()) || filter == int(m_filter))
        return;
    m_filter = ClipType(filter);
    Q_EMIT selectedFilterChanged();
    Q_EMIT emptyMessageChanged();
    refresh();
}

void MenuBarPopoverModel::setActionsItemId(const QString &id)
{
    if (m_actionsItemId == id)
        return;
    m_actionsItemId = id;
    Q_EMIT actionsItemIdChanged();
}

QString MenuBarPopoverModel::headerTitle() const
{
    return m_searchText.trimmed().isEmpty() ? QStringLiteral("Recent") : QStringLiteral("Results");
}

int MenuBarPopoverModel::itemLimit() const
{
    return clampedItemLimit(m_deps.store->menuBarPopoverItemCount());
}

int MenuBarPopoverModel::listHeight() const
{
    return qMin(itemLimit() * rowHeight, maxListHeight);
}

bool MenuBarPopoverModel::isPaused() const
{
    return m_deps.store->isPaused();
}

QString MenuBarPopoverModel::pauseSymbol() const
{
    return isPaused() ? QStringLiteral("play.circle.fill") : QStringLiteral("pause.circle.fill");
}

QString MenuBarPopoverModel::pauseHelp() const
{
    return isPaused() ? QStringLiteral("Resume capture") : QStringLiteral("Pause capture");
}

QVariantList MenuBarPopoverModel::filterTabs()
{
    // Snippets have no tab here.
    static const ClipType order[] = {ClipType::All, ClipType::Pinned, ClipType::Text, ClipType::Image,
                                     ClipType::Url, ClipType::Code,   ClipType::File};
    QVariantList tabs;
    for (ClipType type : order) {
        tabs.append(QVariantMap{{QStringLiteral("type"), int(type)},
                                {QStringLiteral("icon"), ClipTypes::iconName(type)},
                                {QStringLiteral("help"), ClipTypes::rawValue(type)}});
    }
    return tabs;
}

void MenuBarPopoverModel::setShown(bool shown)
{
    if (m_shown == shown)
        return;
    m_shown = shown;
    Q_EMIT shownChanged();
    if (m_shown && m_stale)
        refresh();
}

QList<ClipItem> MenuBarPopoverModel::displayedClips() const
{
    return m_deps.store->items(m_searchText, m_filter, itemLimit(), m_filter == ClipType::All);
}

int MenuBarPopoverModel::clampedItemLimit(int setting)
{
    return qBound(minItems, setting, maxItems);
}

QString MenuBarPopoverModel::emptyMessage(const QString &search, ClipType filter)
{
    if (!search.trimmed().isEmpty())
        return QStringLiteral("No matches");
    if (filter != ClipType::All)
        return QStringLiteral("Nothing here");
    return QStringLiteral("No clips yet");
}

QString MenuBarPopoverModel::kindLabel(const ClipItem &item)
{
    if (item.isSnippet())
        return QStringLiteral("Snippet");
    switch (item.type()) {
    case ClipType::Image:
        return QStringLiteral("Image");
    case ClipType::Url:
        return QStringLiteral("Link");
    case ClipType::Code:
        return QStringLiteral("Code");
    case ClipType::File:
        return QStringLiteral("File");
    default:
        return QStringLiteral("Text");
    }
}

QString MenuBarPopoverModel::typeSymbol(const ClipItem &item)
{
    return ClipTypes::iconName(item.isSnippet() ? ClipType::Snippets : item.type());
}

void MenuBarPopoverModel::reset()
{
    // Fields first and one refresh at the end: each refresh walks the history.
    const bool searchChanged = !m_searchText.isEmpty();
    const bool filterChanged = m_filter != ClipType::All;
    m_searchText.clear();
    m_filter = ClipType::All;
    if (searchChanged)
        Q_EMIT searchTextChanged();
    if (filterChanged)
        Q_EMIT selectedFilterChanged();
    if (searchChanged || filterChanged)
        Q_EMIT emptyMessageChanged();
    m_feedbackAlarm->stop();
    setFeedback({}, {});
    closeActions();
    refresh();
}

void MenuBarPopoverModel::copyClip(const QString &id)
{
    const std::optional<ClipItem> item = clip(id);
    if (!item)
        return;
    if (m_deps.copy)
        m_deps.copy(*item);
    // One alarm for all rows: a newer copy restarts it, so an earlier one never cuts it short.
    m_feedbackAlarm->start(feedbackMs);
    setFeedback(id, QStringLiteral("Copied ") + kindLabel(*item));
}

void MenuBarPopoverModel::togglePin(const QString &id)
{
    if (const std::optional<ClipItem> item = clip(id))
        m_deps.store->togglePin(*item);
    closeActions();
}

void MenuBarPopoverModel::deleteClip(const QString &id)
{
    if (const std::optional<ClipItem> item = clip(id))
        m_deps.store->deleteItem(*item, true);
    closeActions();
}

void MenuBarPopoverModel::toggleActions(const QString &id)
{
    setActionsItemId(m_actionsItemId == id ? QString() : id);
}

void MenuBarPopoverModel::closeActions()
{
    setActionsItemId({});
}

void MenuBarPopoverModel::togglePause()
{
    m_deps.store->setPaused(!m_deps.store->isPaused());
}

void MenuBarPopoverModel::openMainApp()
{
    call(m_deps.openMainApp);
}

void MenuBarPopoverModel::openSettings()
{
    call(m_deps.openSettings);
}

void MenuBarPopoverModel::checkForUpdates()
{
    call(m_deps.checkForUpdates);
}

void MenuBarPopoverModel::quit()
{
    call(m_deps.quit);
}

void MenuBarPopoverModel::dismiss()
{
    call(m_deps.dismiss);
}

void MenuBarPopoverModel::refresh()
{
    m_stale = false;
    m_clips->setClips(displayedClips(), m_deps.clock->now());
    // A menu whose clip has left the list has nothing left to act on.
    if (!m_actionsItemId.isEmpty()) {
        const QList<ClipItem> &rows = m_clips->clips();
        const bool listed = std::any_of(rows.begin(), rows.end(),
                                        [&](const ClipItem &item) { return item.idString() == m_actionsItemId; });
        if (!listed)
            closeActions();
    }
}

void MenuBarPopoverModel::historyChanged()
{
    // Building the list walks the whole history: not worth it for a popover nobody sees.
    if (m_shown)
        refresh();
    else
        m_stale = true;
}

void MenuBarPopoverModel::setFeedback(const QString &id, const QString &text)
{
    if (m_feedbackId == id && m_feedbackText == text)
        return;
    m_feedbackId = id;
    m_feedbackText = text;
    m_clips->setFeedback(id, text);
    Q_EMIT feedbackChanged();
}

std::optional<ClipItem> MenuBarPopoverModel::clip(const QString &id) const
{
    const QUuid uuid(id);
    if (uuid.isNull())
        return std::nullopt;
    return m_deps.store->item(uuid);
}

void MenuBarPopoverModel::call(const std::function<void()> &action)
{
    if (action)
        action();
}

} // namespace Vexilo
