// SPDX-License-Identifier: MIT
#include "DefaultSnippets.h"

namespace Vexilo::DefaultSnippets {

ClipItem makeSnippet(const QString &title, const QString &content, const std::optional<QString> &shortcut,
                     const QStringList &tags, double createdAt)
{
    ClipItem snippet(QUuid::createUuid(), createdAt, ClipType::Snippets, false, tags, true);
    snippet.setTextContent(content);
    snippet.setSnippetTitle(title);
    snippet.setSnippetShortcut(shortcut);
    return snippet;
}

QList<ClipItem> defaults(double createdAt)
{
    return {
        makeSnippet(QStringLiteral("Quick Email Reply"),
                    QStringLiteral("Hi there,\n\nThanks for reaching out! I've received your message and will get "
                                   "back to you shortly.\n\nBest regards,\n[Your Name]"),
                    QStringLiteral(";reply"), {QStringLiteral("Email"), QStringLiteral("Work")}, createdAt),
        makeSnippet(QStringLiteral("Meeting Notes Template"),
                    QStringLiteral("Meeting Notes\n\nAttendees:\n- \n\nAgenda & Decisions:\n- "),
                    QStringLiteral(";meeting"), {QStringLiteral("Notes"), QStringLiteral("Template")}, createdAt),
    };
}

} // namespace Vexilo::DefaultSnippets
