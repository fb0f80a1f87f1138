// SPDX-License-Identifier: MIT
#include "ClipFormat.h"

#include "ReferenceDate.h"
#include "TextUtils.h"

#include <algorithm>

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

namespace {

int columnWidth(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing || c == 0x200B)
        return 0;
    // East Asian wide and full-width ranges.
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
        (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
        (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
        (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

int columnWidth(QStringView text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4())
        width += columnWidth(c);
    return width;
}

// Position and id, then `label` and the fitted title.
QString line(int position, int positionWidth, const ClipItem &item, const QString &label, int columns)
{
    const QString head = QStringLiteral("%1  %2  %3  ").arg(position, positionWidth).arg(shortId(item), label);
    return head + fitted(item.previewTitle(), std::max(1, columns - columnWidth(head))) + u'\n';
}

} // namespace

QString fitted(QStringView text, int columns)
{
    QString out;
    int used = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype start = i;
        const char32_t c = QChar::isHighSurrogate(text[i].unicode()) && i + 1 < text.size()
            ? QChar::surrogateToUcs4(text[i], text[i + 1])
            : text[i].unicode();
        i += c > 0xFFFF ? 2 : 1;
        const int width = columnWidth(c);
        // Room is kept for the ellipsis unless this is the last character.
        if (used + width > columns || (used + width == columns && i < text.size())) {
            out += u'\u2026';
            return out;
        }
        used += width;
        out += TextUtils::isLineBreak(char16_t(c)) || c == u'\t' ? QStringView(u" ") : text.sliced(start, i - start);
    }
    return out;
}

QString listLines(const QList<ClipItem> &items, int columns)
{
    QString out;
    const int width = int(QString::number(items.size()).size());
    int position = 1;
    for (const ClipItem &item : items)
        out += line(position++, width, item, item.listTypeBadgeLabel().leftJustified(4), columns);
    return out;
}

QString snippetLines(const QList<ClipItem> &snippets, int columns)
{
    QString out;
    const int width = int(QString::number(snippets.size()).size());
    int position = 1;
    for (const ClipItem &item : snippets) {
        const QString shortcut = item.hasSnippetShortcut() && !item.snippetShortcut().isEmpty()
            ? fitted(item.snippetShortcut(), 20)
            : QStringLiteral("-");
        out += line(position++, width, item, shortcut, columns);
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
