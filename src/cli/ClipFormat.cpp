// SPDX-License-Identifier: MIT
#include "ClipFormat.h"

#include "ReferenceDate.h"
#include "TextUtils.h"

namespace Vexilo::ClipFormat {

QString shortId(const ClipItem &item)
{
    return item.idString().left(8);
}

QString oneLine(const QString &text)
{
    QString line = text;
    for (QChar &c : line) {
        if (TextUtils::isLineBreak(c.unicode()) || c == u'\t')
            c = u' ';
    }
    return line;
}

QString listLines(const QList<ClipItem> &items)
{
    QString out;
    const int width = int(QString::number(items.size()).size());
    int position = 1;
    for (const ClipItem &item : items) {
        out += QStringLiteral("%1  %2  %3  %4\n")
                   .arg(position++, width)
                   .arg(shortId(item), item.listTypeBadgeLabel().leftJustified(4), oneLine(item.previewTitle()));
    }
    return out;
}

QString snippetLines(const QList<ClipItem> &snippets)
{
    QString out;
    const int width = int(QString::number(snippets.size()).size());
    int position = 1;
    for (const ClipItem &item : snippets) {
        const QString shortcut = item.hasSnippetShortcut() && !item.snippetShortcut().isEmpty()
            ? oneLine(item.snippetShortcut())
            : QStringLiteral("-");
        out += QStringLiteral("%1  %2  %3  %4\n")
                   .arg(position++, width)
                   .arg(shortId(item), shortcut, oneLine(item.previewTitle()));
    }
    return out;
}

QString details(const ClipItem &item, double now)
{
    QString out;
    auto field = [&out](const QString &label, const QString &value) {
        out += QString(label + u':').leftJustified(12) + value + u'\n';
    };
    field(QStringLiteral("Id"), item.idString());
    field(QStringLiteral("Type"), item.typeDisplayName() + QStringLiteral(" (") + item.listTypeBadgeLabel() + u')');
    field(QStringLiteral("Category"), ClipTypes::rawValue(item.type()));
    field(QStringLiteral("Created"),
          ReferenceDate::toDateTime(item.createdAt()).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
              QStringLiteral(" (") + item.timeAgoString(now) + u')');
    field(QStringLiteral("Title"), oneLine(item.previewTitle()));
    if (const QString gist = item.previewSnippet(); !gist.isEmpty())
        field(QStringLiteral("Gist"), oneLine(gist));
    field(QStringLiteral("Pinned"), item.isPinned() ? QStringLiteral("yes") : QStringLiteral("no"));
    if (!item.tags().isEmpty())
        field(QStringLiteral("Tags"), item.tags().join(QStringLiteral(", ")));
    if (item.isSnippet()) {
        if (item.hasSnippetTitle())
            field(QStringLiteral("Snippet"), item.snippetTitle());
        if (item.hasSnippetShortcut())
            field(QStringLiteral("Shortcut"), item.snippetShortcut());
    }
    if (item.hasSourceAppName() || item.hasSourceAppBundleId()) {
        QString source = item.sourceAppName();
        if (item.hasSourceAppBundleId())
            source += (source.isEmpty() ? QString() : QStringLiteral(" ")) + u'(' + item.sourceAppBundleId() + u')';
        field(QStringLiteral("Source"), source);
    }
    if (item.hasColorHex())
        field(QStringLiteral("Colour"), item.colorHex());
    if (item.hasDetectedLanguage())
        field(QStringLiteral("Language"), item.detectedLanguage());
    if (item.hasFilePaths()) {
        for (qsizetype i = 0; i < item.filePaths().size(); ++i)
            field(i == 0 ? QStringLiteral("Files") : QString(), item.filePaths().at(i));
    }
    if (item.hasImageFileName()) {
        QString image = item.imageFileName();
        if (item.imageWidth() && item.imageHeight())
            image += QStringLiteral(" (%1 \u00d7 %2)").arg(*item.imageWidth()).arg(*item.imageHeight());
        field(QStringLiteral("Image"), image);
    }
    if (item.hasTextContent()) {
        field(QStringLiteral("Characters"), QString::number(item.characterCount()));
        field(QStringLiteral("Words"), QString::number(item.wordCount()));
        field(QStringLiteral("Lines"), QString::number(item.lineCount()));
        out += QStringLiteral("\n") + item.textContent();
        if (!item.textContent().endsWith(u'\n'))
            out += u'\n';
    }
    if (item.hasExtractedText()) {
        out += QStringLiteral("\nRecognised text:\n") + item.extractedText();
        if (!item.extractedText().endsWith(u'\n'))
            out += u'\n';
    }
    return out;
}

QString details(const ClipItem &item)
{
    return details(item, ReferenceDate::now());
}

} // namespace Vexilo::ClipFormat
