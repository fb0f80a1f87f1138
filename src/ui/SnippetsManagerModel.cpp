// SPDX-License-Identifier: MIT
#include "SnippetsManagerModel.h"

#include "ClipboardStore.h"
#include "PasteService.h"

#include <QVariantMap>

namespace Vexilo {

namespace {
// A row shows two lines of preview at most; the rest of a long text is only weight.
constexpr qsizetype previewLength = 240;

QString titleOf(const ClipItem &snippet)
{
    return snippet.snippetTitle().isEmpty() ? QStringLiteral("Untitled") : snippet.snippetTitle();
}
} // namespace

SnippetsManagerModel::SnippetsManagerModel(ClipboardStore &store, PasteService &paste, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_paste(paste)
{
    // The list is rebuilt only while it is on screen; captures in the background cost nothing here.
    connect(&m_store, &ClipboardStore::itemsChanged, this, [this] {
        m_snippetsStale = true;
        if (m_shown)
            refreshSnippets();
    });
    connect(&m_store, &ClipboardStore::selectedItemChanged, this, [this] {
        Q_EMIT selectionChanged();
        Q_EMIT stateChanged();
    });
    connect(&m_store, &ClipboardStore::shouldOpenNewSnippetChanged, this, [this] {
        if (m_shown)
            openRequestedEditor();
    });
}

QString SnippetsManagerModel::rightSide() const
{
    const std::optional<ClipItem> &selected = m_store.selectedItem();
    if (m_isCreating || (m_editingSnippet && selected && selected->id() == m_editingSnippet->id()))
        return QStringLiteral("editor");
    if (selected && selected->isSnippet())
        return QStringLiteral("detail");
    return QStringLiteral("placeholder");
}

QString SnippetsManagerModel::editingId() const
{
    return m_editingSnippet ? m_editingSnippet->idString() : QString();
}

void SnippetsManagerModel::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    if (shown) {
        if (m_snippetsStale)
            refreshSnippets();
        openRequestedEditor();
    } else {
        setEditorState(false, std::nullopt);
        setDraft({});
    }
    Q_EMIT shownChanged();
}

void SnippetsManagerModel::setTitle(const QString &title)
{
    if (title == m_draft.title)
        return;
    m_draft.title = title;
    Q_EMIT titleChanged();
    Q_EMIT canSaveChanged();
}

void SnippetsManagerModel::setShortcut(const QString &shortcut)
{
    if (shortcut == m_draft.shortcut)
        return;
    m_draft.shortcut = shortcut;
    Q_EMIT shortcutChanged();
}

void SnippetsManagerModel::setTagsString(const QString &tags)
{
    if (tags == m_draft.tagsString)
        return;
    m_draft.tagsString = tags;
    Q_EMIT tagsStringChanged();
}

void SnippetsManagerModel::setContent(const QString &content)
{
    if (content == m_draft.content)
        return;
    m_draft.content = content;
    Q_EMIT contentChanged();
    Q_EMIT canSaveChanged();
}

std::optional<ClipItem> SnippetsManagerModel::selectedSnippet() const
{
    const std::optional<ClipItem> &selected = m_store.selectedItem();
    if (selected && selected->isSnippet())
        return selected;
    return std::nullopt;
}

QString SnippetsManagerModel::selectedId() const
{
    const auto snippet = selectedSnippet();
    return snippet ? snippet->idString() : QString();
}

QString SnippetsManagerModel::selectedTitle() const
{
    const auto snippet = selectedSnippet();
    return snippet ? titleOf(*snippet) : QString();
}

QString SnippetsManagerModel::selectedShortcut() const
{
    const auto snippet = selectedSnippet();
    return snippet ? snippet->snippetShortcut() : QString();
}

QString SnippetsManagerModel::selectedContent() const
{
    const auto snippet = selectedSnippet();
    return snippet ? snippet->textContent() : QString();
}

void SnippetsManagerModel::startNew()
{
    setDraft({});
    setEditorState(true, std::nullopt);
}

void SnippetsManagerModel::select(const QString &id)
{
    setEditorState(false, std::nullopt);
    const QUuid uuid(id);
    if (uuid.isNull())
        return;
    if (auto item = m_store.item(uuid))
        m_store.setSelectedItem(item);
}

void SnippetsManagerModel::edit()
{
    const auto snippet = selectedSnippet();
    if (!snippet)
        return;
    setDraft(SnippetEditorDraft::fromSnippet(*snippet));
    setEditorState(false, snippet);
}

void SnippetsManagerModel::cancel()
{
    // The draft stays until the next start or edit replaces it.
    setEditorState(false, std::nullopt);
}

bool SnippetsManagerModel::save()
{
    if (!m_draft.canSave())
        return false;
    const QStringList tags = ClipboardStore::parseTags(m_draft.tagsString);
    // Untrimmed: the store decides how a shortcut is normalised.
    const std::optional<QString> shortcut =
        m_draft.shortcut.isEmpty() ? std::nullopt : std::optional<QString>(m_draft.shortcut);
    if (m_editingSnippet) {
        // Start from the stored clip, so that a pin or tag change made meanwhile elsewhere survives
        // apart from the fields the editor owns.
        ClipItem updated = m_store.item(m_editingSnippet->id()).value_or(*m_editingSnippet);
        updated.setSnippetTitle(m_draft.title);
        updated.setSnippetShortcut(shortcut);
        updated.setTextContent(m_draft.content);
        updated.setTags(tags);
        m_store.updateSnippet(updated);
    } else {
        m_store.createSnippet(m_draft.title, m_draft.content, shortcut, tags);
    }
    setEditorState(false, std::nullopt);
    setDraft({});
    return true;
}

void SnippetsManagerModel::deleteSelected()
{
    // The store offers no undo for snippets; asking for it keeps one rule for every clip.
    if (const auto snippet = selectedSnippet())
        m_store.deleteItem(*snippet, true);
}

void SnippetsManagerModel::copySelected()
{
    if (const auto snippet = selectedSnippet())
        m_paste.copyToPasteboard(*snippet);
}

void SnippetsManagerModel::pasteSelected()
{
    if (const auto snippet = selectedSnippet())
        m_paste.pasteItem(*snippet);
}

void SnippetsManagerModel::setDraft(const SnippetEditorDraft &draft)
{
    setTitle(draft.title);
    setShortcut(draft.shortcut);
    setTagsString(draft.tagsString);
    setContent(draft.content);
}

void SnippetsManagerModel::setEditorState(bool creating, const std::optional<ClipItem> &editing)
{
    m_isCreating = creating;
    m_editingSnippet = editing;
    Q_EMIT stateChanged();
}

void SnippetsManagerModel::openRequestedEditor()
{
    if (!m_store.shouldOpenNewSnippet())
        return;
    startNew();
    m_store.setShouldOpenNewSnippet(false);
}

void SnippetsManagerModel::refreshSnippets()
{
    QVariantList rows;
    const QList<ClipItem> snippets = m_store.snippets();
    rows.reserve(snippets.size());
    for (const ClipItem &snippet : snippets) {
        rows.append(QVariantMap{{QStringLiteral("id"), snippet.idString()},
                                {QStringLiteral("title"), titleOf(snippet)},
                                {QStringLiteral("shortcut"), snippet.snippetShortcut()},
                                {QStringLiteral("preview"), snippet.previewSnippet().left(previewLength)}});
    }
    m_snippetsStale = false;
    m_snippets = rows;
    Q_EMIT snippetsChanged();
}

} // namespace Vexilo
