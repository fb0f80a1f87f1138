// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"
#include "SnippetEditorDraft.h"

#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>
#include <optional>

namespace Vexilo {

class ClipboardStore;
class PasteService;

// The snippets tab of the HUD: the list of snippets, and on the right the selected snippet, the
// editor of a new or existing one, or a placeholder.
class SnippetsManagerModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Provided by the application")
    // One map per snippet, in the store's order: id, title, shortcut (empty when none), preview.
    Q_PROPERTY(QVariantList snippets READ snippets NOTIFY snippetsChanged)
    // "editor", "detail" or "placeholder".
    Q_PROPERTY(QString rightSide READ rightSide NOTIFY stateChanged)
    Q_PROPERTY(bool isCreating READ isCreating NOTIFY stateChanged)
    Q_PROPERTY(QString editingId READ editingId NOTIFY stateChanged)
    Q_PROPERTY(bool shown READ isShown WRITE setShown NOTIFY shownChanged)

    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    Q_PROPERTY(QString shortcut READ shortcut WRITE setShortcut NOTIFY shortcutChanged)
    Q_PROPERTY(QString tagsString READ tagsString WRITE setTagsString NOTIFY tagsStringChanged)
    Q_PROPERTY(QString content READ content WRITE setContent NOTIFY contentChanged)
    Q_PROPERTY(bool canSave READ canSave NOTIFY canSaveChanged)

    // The store's selected clip when it is a snippet; empty texts otherwise.
    Q_PROPERTY(QString selectedId READ selectedId NOTIFY selectionChanged)
    Q_PROPERTY(QString selectedTitle READ selectedTitle NOTIFY selectionChanged)
    Q_PROPERTY(QString selectedShortcut READ selectedShortcut NOTIFY selectionChanged)
    Q_PROPERTY(QString selectedContent READ selectedContent NOTIFY selectionChanged)

public:
    SnippetsManagerModel(ClipboardStore &store, PasteService &paste, QObject *parent = nullptr);

    [[nodiscard]] QVariantList snippets() const { return m_snippets; }
    [[nodiscard]] QString rightSide() const;
    [[nodiscard]] bool isCreating() const { return m_isCreating; }
    [[nodiscard]] QString editingId() const;
    [[nodiscard]] bool isShown() const { return m_shown; }
    // The view appears or goes away. Appearing honours a pending "New Snippet" request; going away
    // forgets the editor, as a closed view would.
    void setShown(bool shown);

    [[nodiscard]] const SnippetEditorDraft &draft() const { return m_draft; }
    [[nodiscard]] QString title() const { return m_draft.title; }
    void setTitle(const QString &title);
    [[nodiscard]] QString shortcut() const { return m_draft.shortcut; }
    void setShortcut(const QString &shortcut);
    [[nodiscard]] QString tagsString() const { return m_draft.tagsString; }
    void setTagsString(const QString &tags);
    [[nodiscard]] QString content() const { return m_draft.content; }
    void setContent(const QString &content);
    [[nodiscard]] bool canSave() const { return m_draft.canSave(); }

    [[nodiscard]] QString selectedId() const;
    [[nodiscard]] QString selectedTitle() const;
    [[nodiscard]] QString selectedShortcut() const;
    [[nodiscard]] QString selectedContent() const;

    Q_INVOKABLE void startNew();
    // A row was clicked: show that snippet.
    Q_INVOKABLE void select(const QString &id);
    // Opens the editor on the selected snippet.
    Q_INVOKABLE void edit();
    Q_INVOKABLE void cancel();
    // Creates or updates the snippet; false, changing nothing, when the draft cannot be saved.
    Q_INVOKABLE bool save();
    Q_INVOKABLE void deleteSelected();
    Q_INVOKABLE void copySelected();
    Q_INVOKABLE void pasteSelected();

Q_SIGNALS:
    void snippetsChanged();
    void stateChanged();
    void shownChanged();
    void titleChanged();
    void shortcutChanged();
    void tagsStringChanged();
    void contentChanged();
    void canSaveChanged();
    void selectionChanged();

private:
    [[nodiscard]] std::optional<ClipItem> selectedSnippet() const;
    void setDraft(const SnippetEditorDraft &draft);
    void setEditorState(bool creating, const std::optional<ClipItem> &editing);
    void openRequestedEditor();
    void refreshSnippets();

    ClipboardStore &m_store;
    PasteService &m_paste;
    QVariantList m_snippets;
    bool m_snippetsStale = true;
    bool m_shown = false;
    bool m_isCreating = false;
    std::optional<ClipItem> m_editingSnippet;
    SnippetEditorDraft m_draft;
};

} // namespace Vexilo
