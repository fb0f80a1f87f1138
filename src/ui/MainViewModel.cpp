// SPDX-License-Identifier: MIT
#include "MainViewModel.h"

#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "ClipboardStore.h"

#include <algorithm>
#include <cmath>

namespace Vexilo {

MainViewModel::MainViewModel(ClipboardStore &store, AppSettings &settings, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_settings(settings)
{
    connect(&m_store, &ClipboardStore::countsChanged, this, &MainViewModel::tabsChanged);
    connect(&m_store, &ClipboardStore::countsChanged, this, &MainViewModel::tagFiltersChanged);
    connect(&m_store, &ClipboardStore::itemsChanged, this, &MainViewModel::itemCountTextChanged);
    connect(&m_store, &ClipboardStore::itemsChanged, this, &MainViewModel::tagFiltersChanged);
    connect(&m_store, &ClipboardStore::selectedTagChanged, this, &MainViewModel::selectedTagChanged);
    connect(&m_store, &ClipboardStore::selectedTagChanged, this, &MainViewModel::tagFiltersChanged);
    connect(&m_store, &ClipboardStore::isPausedChanged, this, &MainViewModel::pausedChanged);
    connect(&m_store, &ClipboardStore::selectedCategoryChanged, this, &MainViewModel::categoryChanged);
    connect(&m_store, &ClipboardStore::undoDeleteItemChanged, this, &MainViewModel::undoDeleteChanged);
    connect(&m_store, &ClipboardStore::activeQRCodeItemChanged, this, &MainViewModel::activeQRChanged);
    connect(&m_settings, &AppSettings::valueChanged, this, [this](const QString &key) {
        if (key == AppStorageKeys::isDetailPaneVisible)
            Q_EMIT isDetailPaneVisibleChanged();
        else if (key == AppStorageKeys::leftPanelWidth)
            Q_EMIT leftPanelWidthChanged();
    });
}

bool MainViewModel::isDetailPaneVisible() const
{
    return m_settings.boolValue(AppStorageKeys::isDetailPaneVisible, true);
}

void MainViewModel::setDetailPaneVisible(bool visible)
{
    if (visible != isDetailPaneVisible())
        m_settings.setValue(AppStorageKeys::isDetailPaneVisible, visible);
}

double MainViewModel::leftPanelWidth() const
{
    bool ok = false;
    const double width = m_settings.value(AppStorageKeys::leftPanelWidth).toDouble(&ok);
    return ok && std::isfinite(width) ? width : 280;
}

void MainViewModel::setLeftPanelWidth(double width)
{
    if (std::isfinite(width) && width != leftPanelWidth())
        m_settings.setValue(AppStorageKeys::leftPanelWidth, width);
}

double MainViewModel::maximumListWidth(double contentWidth) const
{
    return std::max(contentWidth - minimumDetailWidth - 1, minimumListWidth);
}

double MainViewModel::listWidth(double contentWidth) const
{
    return std::min(maximumListWidth(contentWidth), std::max(leftPanelWidth(), minimumListWidth));
}

double MainViewModel::detailWidth(double contentWidth) const
{
    return std::max(contentWidth - listWidth(contentWidth) - 1, minimumDetailWidth);
}

QVariantList MainViewModel::tabs() const
{
    static const QString titles[] = {QStringLiteral("All"),  QStringLiteral("Pinned"), QStringLiteral("Snippets"),
                                     QStringLiteral("Text"), QStringLiteral("Image"),  QStringLiteral("Links"),
                                     QStringLiteral("Code"), QStringLiteral("Files")};
    QVariantList result;
    for (const ClipType type : ClipTypes::allCases) {
        QVariantMap tab;
        tab[QStringLiteral("id")] = int(type);
        tab[QStringLiteral("title")] = titles[int(type)];
        tab[QStringLiteral("icon")] = ClipTypes::iconName(type);
        tab[QStringLiteral("badgeCount")] = type == ClipType::All ? 0 : m_store.categoryCounts().value(type, 0);
        result.append(tab);
    }
    return result;
}

QVariantList MainViewModel::tagFilters() const
{
    QVariantList result;
    const QString active = selectedTag();
    for (const QString &tag : m_store.allTags()) {
        QVariantMap entry;
        entry[QStringLiteral("tag")] = tag;
        entry[QStringLiteral("title")] = QStringLiteral("#%1 (%2)").arg(tag).arg(m_store.tagCount(tag));
        entry[QStringLiteral("active")] = tag == active;
        result.append(entry);
    }
    return result;
}

QString MainViewModel::selectedTag() const
{
    return m_store.selectedTag().value_or(QString());
}

QString MainViewModel::tagButtonHelp() const
{
    const auto &tag = m_store.selectedTag();
    return tag ? QStringLiteral("Filtered by #%1 (Click to manage tags)").arg(*tag) : QStringLiteral("Filter by Tag");
}

QString MainViewModel::itemCountText() const
{
    return QStringLiteral("%1 items stored").arg(m_store.storedItemCount());
}

QString MainViewModel::recordingHelp() const
{
    return m_store.isPaused() ? QStringLiteral("Clipboard recording paused (Click to resume)")
                              : QStringLiteral("Clipboard recording active (Click to pause)");
}

bool MainViewModel::isPaused() const
{
    return m_store.isPaused();
}

bool MainViewModel::isSnippetsSelected() const
{
    return m_store.selectedCategory() == ClipType::Snippets;
}

QVariantList MainViewModel::shortcutHints()
{
    const auto hint = [](const QString &key, const QString &label) {
        return QVariantMap{{QStringLiteral("key"), key}, {QStringLiteral("label"), label}};
    };
    return {hint(QStringLiteral("Ctrl+I"), QStringLiteral("Inspector")),
            hint(QStringLiteral("\u21A9"), QStringLiteral("Paste")),
            hint(QStringLiteral("Ctrl+Alt+1-9"), QStringLiteral("Paste slot")),
            hint(QStringLiteral("Alt+P"), QStringLiteral("Pin")),
            hint(QStringLiteral("Ctrl+Delete"), QStringLiteral("Delete"))};
}

bool MainViewModel::hasUndoDelete() const
{
    return m_store.undoDeleteItem().has_value();
}

bool MainViewModel::hasActiveQR() const
{
    return m_store.activeQRCodeItem().has_value();
}

void MainViewModel::selectCategory(int category)
{
    m_store.setSelectedCategoryIndex(category);
}

void MainViewModel::toggleTagFilter(const QString &tag)
{
    if (m_store.selectedTag() == tag)
        m_store.setSelectedTag(std::nullopt);
    else
        m_store.setSelectedTag(tag);
    m_store.recalculateFilteredItems();
}

void MainViewModel::clearTagFilter()
{
    m_store.setSelectedTag(std::nullopt);
    m_store.recalculateFilteredItems();
}

void MainViewModel::togglePaused()
{
    m_store.setPaused(!m_store.isPaused());
}

void MainViewModel::undoDelete()
{
    m_store.undoLastDelete();
}

void MainViewModel::commitDelete()
{
    m_store.dismissUndoDelete();
}

void MainViewModel::dismissQR()
{
    m_store.dismissQR();
}

} // namespace Vexilo
