// SPDX-License-Identifier: MIT
// The derived texts and counts every list row and detail header shows. Recomputed on each read:
// they are cheap next to rendering, and caching would have to follow every edit of the clip.
#include "ClipItem.h"

#include "ReferenceDate.h"
#include "RelativeTime.h"
#include "TextUtils.h"

#include <QUrl>

namespace Vexilo {

namespace {

// The file or folder name of a path; a trailing "/" (a folder) does not count as a component.
QString lastPathComponent(QStringView path)
{
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    if (path == u"/")
        return path.toString();
    return path.sliced(path.lastIndexOf(u'/') + 1).toString();
}

QString codeTitle(const ClipItem &item)
{
    if (item.hasTextContent()) {
        const QString text = item.textContent();
        for (QStringView line : TextUtils::splitLines(text)) {
            if (!TextUtils::isBlank(line))
                return line.toString();
        }
    }
    const QString language = item.hasDetectedLanguage()
        ? *TextTransformModes::transform(TextTransformMode::TitleCase, item.detectedLanguage())
        : QStringLiteral("Code");
    return language + QStringLiteral(" snippet");
}

QString fileTitle(const ClipItem &item)
{
    if (!item.hasFilePaths() || item.filePaths().isEmpty())
        return QStringLiteral("Files");
    const QStringList &paths = item.filePaths();
    QString title = lastPathComponent(paths.first());
    if (paths.size() >= 2)
        title += QStringLiteral(" (+%1 files)").arg(paths.size() - 1);
    return title;
}

QString imageTitle(const ClipItem &item)
{
    const auto width = item.imageWidth();
    const auto height = item.imageHeight();
    if (!width || !height)
        return QStringLiteral("Image");
    return QStringLiteral("Image (%1 \u00D7 %2)").arg(*width).arg(*height);
}

QString linkTitle(const ClipItem &item)
{
    if (!item.hasTextContent())
        return QStringLiteral("Link");
    const QString text = item.textContent();
    const QUrl url(TextUtils::trimmed(text).toString(), QUrl::StrictMode);
    if (url.isValid() && !url.host().isEmpty())
        return url.host();
    // A bare domain parses as a relative path without a host: show it as copied.
    return text;
}

QString firstLineTitle(const ClipItem &item)
{
    const QString content = item.textContent();
    const QStringView text = TextUtils::trimmed(content);
    const QStringView first = TextUtils::splitLines(text).first();
    return first.isEmpty() ? QStringLiteral("Empty Text") : first.toString();
}

QString joinedWithBlanks(const QList<QStringView> &lines)
{
    QString out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += u' ';
        out += lines[i];
    }
    return out;
}

} // namespace

QString ClipItem::previewTitle() const
{
    if (isSnippet() && hasSnippetTitle() && !snippetTitle().isEmpty())
        return snippetTitle();
    switch (type()) {
    case ClipType::Code:
        return codeTitle(*this);
    case ClipType::File:
        return fileTitle(*this);
    case ClipType::Image:
        return imageTitle(*this);
    case ClipType::Url:
        return linkTitle(*this);
    case ClipType::All:
    case ClipType::Pinned:
    case ClipType::Snippets:
    case ClipType::Text:
        break;
    }
    return firstLineTitle(*this);
}

QString ClipItem::previewSnippet() const
{
    if (!hasTextContent())
        return {};
    const QString text = textContent();
    const QList<QStringView> lines = TextUtils::splitLines(text);
    if (isSnippet())
        return joinedWithBlanks(lines);

    // The first non-blank line is the title's; the gist is the next two.
    QList<QStringView> gist;
    bool skippedTitle = false;
    for (QStringView line : lines) {
        if (TextUtils::isBlank(line))
            continue;
        if (!skippedTitle) {
            skippedTitle = true;
            continue;
        }
        gist.append(line);
        if (gist.size() == 2)
            break;
    }
    return joinedWithBlanks(gist);
}

int ClipItem::characterCount() const
{
    return hasTextContent() ? int(TextUtils::graphemeCount(textContent())) : 0;
}

int ClipItem::wordCount() const
{
    if (!hasTextContent())
        return 0;
    int words = 0;
    bool inWord = false;
    for (const QChar c : textContent()) {
        const bool separator = TextUtils::isWhitespaceOrNewline(c.unicode());
        if (!separator && !inWord)
            ++words;
        inWord = !separator;
    }
    return words;
}

int ClipItem::lineCount() const
{
    return hasTextContent() ? int(TextUtils::countLines(textContent())) : 0;
}

QString ClipItem::timeAgoString() const
{
    return timeAgoString(ReferenceDate::now());
}

QString ClipItem::timeAgoString(double now) const
{
    if (isSnippet())
        return QStringLiteral("Snippet");
    return RelativeTime::abbreviated(createdAt(), now);
}

QString ClipItem::typeDisplayName() const
{
    if (isSnippet())
        return QStringLiteral("Snippet");
    switch (type()) {
    case ClipType::Code:
        return QStringLiteral("Code");
    case ClipType::File:
        return QStringLiteral("File");
    case ClipType::Image:
        return QStringLiteral("Image");
    case ClipType::Url:
        return QStringLiteral("Link");
    case ClipType::All:
    case ClipType::Pinned:
    case ClipType::Snippets:
    case ClipType::Text:
        break;
    }
    return QStringLiteral("Text");
}

QString ClipItem::listTypeBadgeLabel() const
{
    if (isSnippet())
        return QStringLiteral("SNIP");
    switch (type()) {
    case ClipType::Image:
        return QStringLiteral("IMG");
    case ClipType::Url:
        return QStringLiteral("URL");
    case ClipType::Code:
        return QStringLiteral("CODE");
    case ClipType::File:
        return QStringLiteral("FILE");
    case ClipType::All:
    case ClipType::Pinned:
    case ClipType::Snippets:
    case ClipType::Text:
        break;
    }
    return QStringLiteral("TEXT");
}

} // namespace Vexilo
