// SPDX-License-Identifier: MIT
// The store's operations on existing clips: pin, tags, delete with undo, clear, snippets, export and
// image files.
#include "ClipboardStore.h"

#include "ClipQuery.h"
#include "DefaultSnippets.h"
#include "HistoryExport.h"
#include "HistoryFile.h"
#include "ThumbnailLoader.h"

#include <QFile>
#include <QImageReader>

namespace Vexilo {

void ClipboardStore::togglePin(const ClipItem &item)
{
    // The sound comes first, even for a clip that is gone.
    playSound(FeedbackSound::Pin);
    const int index = indexOf(item.id());
    if (index < 0)
        return;
    m_items[index].setPinned(!m_items.at(index).isPinned());
    journalUpdated(index);
    publishItems();
    refreshSelection(index);
    saveHistory();
}

void ClipboardStore::addTag(const QString &tag, const ClipItem &item)
{
    const QString normalized = ClipQuery::normalizeTag(tag);
    if (normalized.isEmpty())
        return;
    const int index = indexOf(item.id());
    if (index < 0 || m_items.at(index).tags().contains(normalized))
        return;
    m_items[index].setTags(m_items.at(index).tags() + QStringList{normalized});
    journalUpdated(index);
    publishItems();
    refreshSelection(index);
    saveHistory();
}

void ClipboardStore::removeTag(const QString &tag, const ClipItem &item)
{
    const int index = indexOf(item.id());
    if (index < 0)
        return;
    QStringList tags = m_items.at(index).tags();
    tags.removeAll(tag);
    m_items[index].setTags(tags);
    journalUpdated(index);
    publishItems();
    refreshSelection(index);
    saveHistory();
}

void ClipboardStore::deleteItem(const ClipItem &item, bool allowUndo)
{
    playSound(FeedbackSound::Delete);
    const int index = indexOf(item.id());
    if (index < 0)
        return;
    const ClipItem removed = m_items.takeAt(index);
    journalRemoved({removed});
    publishItems();
    if (!allowUndo || removed.isSnippet()) {
        if (removed.hasImageFileName())
            deleteImageFile(removed.imageFileName());
    } else {
        commitPendingUndoDeletion();
        m_undoDeleteItem = removed;
        m_pendingUndoImageFilename = removed.hasImageFileName() ? std::optional(removed.imageFileName()) : std::nullopt;
        Q_EMIT undoDeleteItemChanged();
        scheduleUndoExpiry();
    }
    saveHistory();
}

void ClipboardStore::scheduleUndoExpiry()
{
    m_undoAlarm->start(m_env.undoWindowMs);
}

void ClipboardStore::commitPendingUndoDeletion()
{
    m_undoAlarm->stop();
    if (m_pendingUndoImageFilename)
        deleteImageFile(*m_pendingUndoImageFilename);
    m_pendingUndoImageFilename.reset();
    if (m_undoDeleteItem) {
        m_undoDeleteItem.reset();
        Q_EMIT undoDeleteItemChanged();
    }
}

void ClipboardStore::undoLastDelete()
{
    if (!m_undoDeleteItem)
        return;
    m_undoAlarm->stop();
    const ClipItem restored = *m_undoDeleteItem;
    m_undoDeleteItem.reset();
    m_pendingUndoImageFilename.reset();
    Q_EMIT undoDeleteItemChanged();
    // Back at the top of the history, with its date and all its fields unchanged.
    m_items.prepend(restored);
    journalAdded(restored);
    publishPrepended(restored);
    setSelectedItem(restored);
    saveHistory();
}

void ClipboardStore::dismissUndoDelete()
{
    commitPendingUndoDeletion();
}

void ClipboardStore::clearHistory(bool preservePinned)
{
    commitPendingUndoDeletion();
    playSound(FeedbackSound::Delete);
    QList<ClipItem> kept;
    QList<ClipItem> removed;
    for (const ClipItem &item : std::as_const(m_items)) {
        if (item.isSnippet() || (preservePinned && item.isPinned()))
            kept.append(item);
        else
            removed.append(item);
    }
    journalRemoved(removed);
    deleteImageFiles(removed);
    setItems(std::move(kept));
    setSelectedItem(m_items.isEmpty() ? std::nullopt : std::optional(m_items.constFirst()));
    saveHistory();
}

// --- snippets

QList<ClipItem> ClipboardStore::snippets() const
{
    QList<ClipItem> result;
    for (const ClipItem &item : m_items) {
        if (item.isSnippet())
            result.append(item);
    }
    return result;
}

QUuid ClipboardStore::createSnippet(const QString &title, const QString &content,
                                    const std::optional<QString> &shortcut, const QStringList &tags)
{
    if (!m_historyProblem.isEmpty())
        return {};
    const ClipItem snippet = DefaultSnippets::makeSnippet(title, content, shortcut, tags, now());
    m_items.prepend(snippet);
    journalAdded(snippet);
    publishPrepended(snippet);
    setSelectedItem(snippet);
    saveHistory();
    return snippet.id();
}

void ClipboardStore::updateSnippet(const ClipItem &snippet)
{
    const int index = indexOf(snippet.id());
    if (index < 0)
        return;
    m_items[index] = snippet;
    journalUpdated(index);
    publishItems();
    if (m_selectedItem && m_selectedItem->id() == snippet.id())
        setSelectedItem(snippet);
    saveHistory();
}

// --- export

std::optional<QString> ClipboardStore::exportAsJSON(const QString &path)
{
    const QString error = HistoryFile::writeAtomically(path, HistoryExport::json(m_items));
    if (!error.isEmpty()) {
        log(QStringLiteral("Export failed: ") + error);
        return std::nullopt;
    }
    return path;
}

std::optional<QString> ClipboardStore::exportAsMarkdown(const QString &path)
{
    const QString error = HistoryFile::writeAtomically(path, HistoryExport::markdown(m_items, now()).toUtf8());
    if (!error.isEmpty()) {
        log(QStringLiteral("Export failed: ") + error);
        return std::nullopt;
    }
    return path;
}

// --- image files

QString ClipboardStore::imageURL(const QString &fileName) const
{
    if (!HistoryFile::isSafeImageFileName(fileName))
        return {};
    return m_paths.imagesDirectory() + u'/' + fileName;
}

QImage ClipboardStore::loadImage(const QString &fileName) const
{
    const QString path = imageURL(fileName);
    if (path.isEmpty())
        return {};
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return reader.read();
}

void ClipboardStore::loadThumbnail(const QString &fileName, double size, QObject *receiver,
                                   std::function<void(const QImage &)> callback)
{
    const QString path = imageURL(fileName);
    if (path.isEmpty()) {
        callback({});
        return;
    }
    m_thumbnails->load(path, fileName, size, receiver, std::move(callback));
}

void ClipboardStore::deleteImageFile(const QString &fileName)
{
    const QString path = imageURL(fileName);
    if (!path.isEmpty())
        QFile::remove(path);
}

void ClipboardStore::deleteImageFiles(const QList<ClipItem> &removed)
{
    for (const ClipItem &item : removed) {
        if (!item.isSnippet() && item.hasImageFileName())
            deleteImageFile(item.imageFileName());
    }
}

} // namespace Vexilo
