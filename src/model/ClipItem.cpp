// SPDX-License-Identifier: MIT
#include "ClipItem.h"

#include "ClipItem_p.h"
#include "SearchText.h"
#include "SecureMemory.h"
#include "Uuid.h"

namespace Vexilo {

namespace {
const QString emptyString;
const QStringList emptyList;
} // namespace

ClipItem::ClipItem()
    : d(new ClipItemData)
{ }

ClipItem::ClipItem(const QUuid &id, double createdAt, ClipType type, bool isPinned, QStringList tags, bool isSnippet)
    : d(new ClipItemData)
{
    d->id = id;
    d->createdAt = createdAt;
    d->type = type;
    d->isPinned = isPinned;
    d->tags = std::move(tags);
    d->isSnippet = isSnippet;
}

ClipItem::ClipItem(const ClipItem &other) = default;
ClipItem::ClipItem(ClipItem &&other) noexcept = default;
ClipItem &ClipItem::operator=(const ClipItem &other) = default;
ClipItem &ClipItem::operator=(ClipItem &&other) noexcept = default;
ClipItem::~ClipItem() = default;

QUuid ClipItem::id() const
{
    return d->id;
}

QString ClipItem::idString() const
{
    return Uuid::toText(d->id);
}

double ClipItem::createdAt() const
{
    return d->createdAt;
}

ClipType ClipItem::type() const
{
    return d->type;
}

void ClipItem::setType(ClipType type)
{
    d->type = type;
}

bool ClipItem::leaveSparseArena()
{
    const ClipItemData &shared = *std::as_const(d);
    if (!shared.arena || !shared.arena->isSparse())
        return false;
    // A copy shared with another holder (another thread, perhaps) is left to that holder: this clip
    // gets new data, whose copy constructor takes the text out of the arena.
    d.detach();
    d->leaveArena();
    return true;
}

bool ClipItem::storageIsSparse()
{
#if defined(VEXILO_POOLED_CLIPS)
    return ClipItemData::pool().isSparse();
#else
    return false;
#endif
}

void ClipItem::beginFreshStorage()
{
#if defined(VEXILO_POOLED_CLIPS)
    ClipItemData::pool().startFreshChunk();
#endif
}

void ClipItem::moveToFreshStorage()
{
    // New data, a copy of this clip's; whoever else holds the old one keeps it until letting go.
    d = QSharedDataPointer<ClipItemData>(new ClipItemData(*d));
}

void ClipItem::prefetchText() const
{
    __builtin_prefetch(d->search.constData());
}

bool ClipItem::hasTextContent() const
{
    return d->has(ClipItemData::TextContent);
}

QString ClipItem::textContent() const
{
    return QString::fromUtf8(d->text());
}

QByteArrayView ClipItem::textContentUtf8() const
{
    return d->text();
}

QByteArrayView ClipItem::searchText() const
{
    return d->search;
}

void ClipItem::setTextContent(const std::optional<QString> &text)
{
    std::optional<QByteArray> utf8 = text ? std::optional(text->toUtf8()) : std::nullopt;
    setTextContentUtf8(utf8);
    if (utf8)
        SecureMemory::wipe(*utf8);
}

void ClipItem::setTextContentUtf8(const std::optional<QByteArray> &utf8)
{
    d->mark(ClipItemData::TextContent, utf8.has_value());
    d->rebuildSearch(utf8 ? QByteArrayView(*utf8) : QByteArrayView());
}

// The inline optional texts.
#define VEXILO_INLINE_TEXT(Name, name, Flag, Searched)                                                                 \
    bool ClipItem::has##Name() const                                                                                   \
    {                                                                                                                  \
        return d->has(ClipItemData::Flag);                                                                             \
    }                                                                                                                  \
    const QString &ClipItem::name() const                                                                              \
    {                                                                                                                  \
        return d->name;                                                                                                \
    }                                                                                                                  \
    void ClipItem::set##Name(const std::optional<QString> &value)                                                      \
    {                                                                                                                  \
        d->name = value.value_or(QString());                                                                           \
        d->mark(ClipItemData::Flag, value.has_value());                                                                \
        if (Searched)                                                                                                  \
            d->rebuildSearch();                                                                                        \
    }

// The optional texts kept in the extension.
#define VEXILO_EXTRA_TEXT(Name, name, Flag, Searched)                                                                  \
    bool ClipItem::has##Name() const                                                                                   \
    {                                                                                                                  \
        return d->has(ClipItemData::Flag);                                                                             \
    }                                                                                                                  \
    const QString &ClipItem::name() const                                                                              \
    {                                                                                                                  \
        return d->extras ? d->extras->name : emptyString;                                                              \
    }                                                                                                                  \
    void ClipItem::set##Name(const std::optional<QString> &value)                                                      \
    {                                                                                                                  \
        if (!value && !d->extras)                                                                                      \
            return d->mark(ClipItemData::Flag, false);                                                                 \
        d->ext().name = value.value_or(QString());                                                                     \
        d->mark(ClipItemData::Flag, value.has_value());                                                                \
        if (Searched)                                                                                                  \
            d->rebuildSearch();                                                                                        \
    }

VEXILO_INLINE_TEXT(SourceAppName, sourceAppName, SourceAppName, true)
VEXILO_INLINE_TEXT(SourceAppBundleId, sourceAppBundleId, SourceAppBundleId, false)
VEXILO_EXTRA_TEXT(ImageFileName, imageFileName, ImageFileName, false)
VEXILO_EXTRA_TEXT(ColorHex, colorHex, ColorHex, true)
VEXILO_EXTRA_TEXT(DetectedLanguage, detectedLanguage, DetectedLanguage, true)
VEXILO_EXTRA_TEXT(ExtractedText, extractedText, ExtractedText, true)
VEXILO_EXTRA_TEXT(SnippetTitle, snippetTitle, SnippetTitle, true)
VEXILO_EXTRA_TEXT(SnippetShortcut, snippetShortcut, SnippetShortcut, false)
#undef VEXILO_INLINE_TEXT
#undef VEXILO_EXTRA_TEXT

std::optional<int> ClipItem::imageWidth() const
{
    return d->has(ClipItemData::ImageWidth) ? std::optional<int>(d->extras->imageWidth) : std::nullopt;
}

std::optional<int> ClipItem::imageHeight() const
{
    return d->has(ClipItemData::ImageHeight) ? std::optional<int>(d->extras->imageHeight) : std::nullopt;
}

void ClipItem::setImageSize(std::optional<int> width, std::optional<int> height)
{
    if (!width && !height && !d->extras) {
        d->mark(ClipItemData::ImageWidth, false);
        d->mark(ClipItemData::ImageHeight, false);
        return;
    }
    d->ext().imageWidth = width.value_or(0);
    d->ext().imageHeight = height.value_or(0);
    d->mark(ClipItemData::ImageWidth, width.has_value());
    d->mark(ClipItemData::ImageHeight, height.has_value());
}

bool ClipItem::hasFilePaths() const
{
    return d->has(ClipItemData::FilePaths);
}

const QStringList &ClipItem::filePaths() const
{
    return d->extras ? d->extras->filePaths : emptyList;
}

void ClipItem::setFilePaths(const std::optional<QStringList> &paths)
{
    if (!paths && !d->extras)
        return d->mark(ClipItemData::FilePaths, false);
    d->ext().filePaths = paths.value_or(QStringList());
    d->mark(ClipItemData::FilePaths, paths.has_value());
    d->rebuildSearch();
}

bool ClipItem::isPinned() const
{
    return d->isPinned;
}

void ClipItem::setPinned(bool pinned)
{
    d->isPinned = pinned;
}

const QStringList &ClipItem::tags() const
{
    return d->tags;
}

void ClipItem::setTags(const QStringList &tags)
{
    d->tags = tags;
    d->rebuildSearch();
}

bool ClipItem::isSnippet() const
{
    return d->isSnippet;
}

void ClipItem::setSnippet(bool snippet)
{
    d->isSnippet = snippet;
}

bool operator==(const ClipItem &a, const ClipItem &b)
{
    if (a.d == b.d)
        return true;
    const ClipItemData &x = *a.d;
    const ClipItemData &y = *b.d;
    if (!(x.id == y.id && x.createdAt == y.createdAt && x.type == y.type && x.isPinned == y.isPinned &&
          x.isSnippet == y.isSnippet && x.present == y.present && x.text() == y.text() &&
          x.sourceAppName == y.sourceAppName && x.sourceAppBundleId == y.sourceAppBundleId && x.tags == y.tags))
        return false;
    // Absent fields read as empty, so comparing the readings covers a missing extension.
    return a.imageFileName() == b.imageFileName() && a.imageWidth() == b.imageWidth() &&
        a.imageHeight() == b.imageHeight() && a.colorHex() == b.colorHex() &&
        a.detectedLanguage() == b.detectedLanguage() && a.filePaths() == b.filePaths() &&
        a.extractedText() == b.extractedText() && a.snippetTitle() == b.snippetTitle() &&
        a.snippetShortcut() == b.snippetShortcut();
}

bool ClipItem::matches(const SearchQuery &query) const
{
    return query.matches(QByteArrayView(d->search));
}

bool ClipItem::matches(QStringView query) const
{
    return matches(SearchQuery(query));
}

std::optional<QString> ClipItem::transformedText(TextTransformMode mode) const
{
    if (!hasTextContent())
        return std::nullopt;
    return TextTransformModes::transform(mode, textContent());
}

} // namespace Vexilo
