// SPDX-License-Identifier: MIT
#include "ClipItem.h"

#include "SearchText.h"
#include "TextArena.h"

namespace Vexilo {

namespace {
const QString emptyString;
const QStringList emptyList;
} // namespace

// Kept small because a history holds up to 100,000 of them: the fields most clips have are inline,
// the rest live in an extension allocated only for clips that use them.
class ClipItemData : public QSharedData
{
public:
    enum Field : quint16 {
        TextContent = 1 << 0,
        ImageFileName = 1 << 1,
        ImageWidth = 1 << 2,
        ImageHeight = 1 << 3,
        ColorHex = 1 << 4,
        DetectedLanguage = 1 << 5,
        FilePaths = 1 << 6,
        SourceAppName = 1 << 7,
        SourceAppBundleId = 1 << 8,
        ExtractedText = 1 << 9,
        SnippetTitle = 1 << 10,
        SnippetShortcut = 1 << 11,
    };

    struct Extras
    {
        QString imageFileName;
        int imageWidth = 0;
        int imageHeight = 0;
        QString colorHex;
        QString detectedLanguage;
        QStringList filePaths;
        QString extractedText;
        QString snippetTitle;
        QString snippetShortcut;
    };

    ClipItemData() = default;
    ClipItemData(const ClipItemData &other)
        : QSharedData(other)
        , id(other.id)
        , createdAt(other.createdAt)
        , type(other.type)
        , isPinned(other.isPinned)
        , isSnippet(other.isSnippet)
        , present(other.present)
        , text(other.text)
        , textArena(other.textArena)
        , sourceAppName(other.sourceAppName)
        , sourceAppBundleId(other.sourceAppBundleId)
        , tags(other.tags)
        , extras(other.extras ? std::make_unique<Extras>(*other.extras) : nullptr)
    {
    }

    [[nodiscard]] bool has(Field f) const { return present & f; }
    void mark(Field f, bool on) { present = on ? (present | f) : (present & ~f); }
    Extras &ext()
    {
        if (!extras)
            extras = std::make_unique<Extras>();
        return *extras;
    }

    QUuid id;
    double createdAt = 0;
    ClipType type = ClipType::Text;
    bool isPinned = false;
    bool isSnippet = false;
    quint16 present = 0;
    // UTF-8; either owned, or a view into textArena, which stays alive as long as the view.
    QByteArray text;
    std::shared_ptr<const TextArena> textArena;
    QString sourceAppName;
    QString sourceAppBundleId;
    QStringList tags;
    std::unique_ptr<Extras> extras;
};

ClipItem::ClipItem()
    : d(new ClipItemData)
{
}

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

void ClipItem::setIdentity(const QUuid &id, double createdAt)
{
    d->id = id;
    d->createdAt = createdAt;
}

QUuid ClipItem::id() const
{
    return d->id;
}

QString ClipItem::idString() const
{
    return d->id.toString(QUuid::WithoutBraces).toUpper();
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

bool ClipItem::hasTextContent() const
{
    return d->has(ClipItemData::TextContent);
}

QString ClipItem::textContent() const
{
    return QString::fromUtf8(d->text);
}

QByteArrayView ClipItem::textContentUtf8() const
{
    return d->text;
}

void ClipItem::setTextContent(const std::optional<QString> &text)
{
    setTextContentUtf8(text ? std::optional(text->toUtf8()) : std::nullopt);
}

void ClipItem::setTextContentUtf8(const std::optional<QByteArray> &utf8)
{
    d->text = utf8.value_or(QByteArray());
    d->textArena.reset();
    d->mark(ClipItemData::TextContent, utf8.has_value());
}

void ClipItem::setTextContentInArena(std::shared_ptr<const TextArena> arena, QByteArrayView utf8)
{
    d->text = QByteArray::fromRawData(utf8.data(), utf8.size());
    d->textArena = std::move(arena);
    d->mark(ClipItemData::TextContent, true);
}

// The inline optional texts.
#define VEXILO_INLINE_TEXT(Name, name, Flag)                                                                           \
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
        d->mark(ClipItemData::Flag, value.has_value());                                                               \
    }

// The optional texts kept in the extension.
#define VEXILO_EXTRA_TEXT(Name, name, Flag)                                                                            \
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
        d->mark(ClipItemData::Flag, value.has_value());                                                               \
    }

VEXILO_INLINE_TEXT(SourceAppName, sourceAppName, SourceAppName)
VEXILO_INLINE_TEXT(SourceAppBundleId, sourceAppBundleId, SourceAppBundleId)
VEXILO_EXTRA_TEXT(ImageFileName, imageFileName, ImageFileName)
VEXILO_EXTRA_TEXT(ColorHex, colorHex, ColorHex)
VEXILO_EXTRA_TEXT(DetectedLanguage, detectedLanguage, DetectedLanguage)
VEXILO_EXTRA_TEXT(ExtractedText, extractedText, ExtractedText)
VEXILO_EXTRA_TEXT(SnippetTitle, snippetTitle, SnippetTitle)
VEXILO_EXTRA_TEXT(SnippetShortcut, snippetShortcut, SnippetShortcut)
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
    if (!(x.id == y.id && x.createdAt == y.createdAt && x.type == y.type && x.isPinned == y.isPinned
          && x.isSnippet == y.isSnippet && x.present == y.present && x.text == y.text
          && x.sourceAppName == y.sourceAppName && x.sourceAppBundleId == y.sourceAppBundleId && x.tags == y.tags))
        return false;
    // Absent fields read as empty, so comparing the readings covers a missing extension.
    return a.imageFileName() == b.imageFileName() && a.imageWidth() == b.imageWidth()
        && a.imageHeight() == b.imageHeight() && a.colorHex() == b.colorHex()
        && a.detectedLanguage() == b.detectedLanguage() && a.filePaths() == b.filePaths()
        && a.extractedText() == b.extractedText() && a.snippetTitle() == b.snippetTitle()
        && a.snippetShortcut() == b.snippetShortcut();
}

bool ClipItem::matches(const SearchQuery &query) const
{
    if (query.isEmpty())
        return false;
    if (hasTextContent() && query.matches(QByteArrayView(d->text)))
        return true;
    if (hasSourceAppName() && query.matches(QStringView(d->sourceAppName)))
        return true;
    for (const QString &tag : std::as_const(d->tags)) {
        if (query.matches(QStringView(tag)))
            return true;
    }
    if (!d->extras)
        return false;
    const ClipItemData::Extras &e = *d->extras;
    auto hit = [&](ClipItemData::Field f, const QString &value) { return d->has(f) && query.matches(QStringView(value)); };
    if (hit(ClipItemData::SnippetTitle, e.snippetTitle) || hit(ClipItemData::ExtractedText, e.extractedText)
        || hit(ClipItemData::ColorHex, e.colorHex) || hit(ClipItemData::DetectedLanguage, e.detectedLanguage))
        return true;
    for (const QString &path : e.filePaths) {
        if (query.matches(QStringView(path)))
            return true;
    }
    return false;
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
