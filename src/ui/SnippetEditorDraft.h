// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

#include <QString>

namespace Vexilo {

// The texts of the snippet editor while the user types them; nothing is stored until saved.
struct SnippetEditorDraft
{
    QString title;
    QString shortcut;
    QString tagsString;
    QString content;

    [[nodiscard]] static SnippetEditorDraft fromSnippet(const ClipItem &snippet)
    {
        return {snippet.snippetTitle(), snippet.snippetShortcut(), snippet.tags().join(QStringLiteral(", ")),
                snippet.textContent()};
    }

    // A snippet needs a name to be listed and a text to expand to.
    [[nodiscard]] bool canSave() const { return !title.trimmed().isEmpty() && !content.trimmed().isEmpty(); }
};

} // namespace Vexilo
