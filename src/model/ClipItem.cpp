// SPDX-License-Identifier: MIT
#include "ClipItem.h"

#include "SearchText.h"

namespace Vexilo {

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

    ClipItemData() = default;
    ClipItemData(const ClipItemData &other)
        : QSharedData(other)
        , id(other.id)
        , createdAt(other.createdAt)
        , type(other.type)
        , isPinned(other.isPinned)
        , isSnippet(other.isSnippet)
        , present(other.present)
        , imageWidth(other.imageWidth)
        , imageHeight(other.imageHeight)
        , textContent(other.textContent)
        , imageFileName(other.imageFileName)
        , colorHex(other.colorHex)
        , detectedLanguage(other.detectedLanguage)
        , filePaths(other.filePaths)
        , sourceAppName(other.sourceAppName)
        , sourceAppBundleId(other.sourceAppBundleId)
        , extractedText(other.extractedText)
        , tags(other.tags)
        , snippetTitle(other.snippetTitle)
        , snippetShortcut(other.snippetShortcut)
    // The search key is not copied: a copy is made only to be changed.
    {
    }

    bool has(Field f) const { return present & f; }

    template<typename T>
    void setOptional(Field f, T &member, const std::optional<T> &value)
    {
        if (value) {
            member = *value;
            present |= f;
        } else {
            member = T();
            present &= ~f;
        }
        searchKey.clear();
        searchKeyBuilt = false;
    }

    QUuid id;
    double createdAt = 0;
    ClipType type = ClipType::Text;
    bool isPinned = false;
    bool isSnippet = false;
    quint16 present = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    QString textContent;
    QString imageFileName;
    QString colorHex;
    QString detectedLanguage;
    QStringList filePaths;
    QString sourceAppName;
    QString sourceAppBundleId;
    QString extractedText;
    QStringList tags;
    QString snippetTitle;
    QString snippetShortcut;

    mutable QByteArray searchKey;
    mutable bool searchKeyBuilt = false;
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

#define VEXILO_OPTIONAL_TEXT(Name, name, Flag)                                                                         \
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
        d->setOptional(ClipItemData::Flag, d->name, value);                                                            \
    }

VEXILO_OPTIONAL_TEXT(TextContent, textContent, TextContent)
VEXILO_OPTIONAL_TEXT(ImageFileName, imageFileName, ImageFileName)
VEXILO_OPTIONAL_TEXT(ColorHex, colorHex, ColorHex)
VEXILO_OPTIONAL_TEXT(DetectedLanguage, detectedLanguage, DetectedLanguage)
VEXILO_OPTIONAL_TEXT(SourceAppName, sourceAppName, SourceAppName)
VEXILO_OPTIONAL_TEXT(SourceAppBundleId, sourceAppBundleId, SourceAppBundleId)
VEXILO_OPTIONAL_TEXT(ExtractedText, extractedText, ExtractedText)
VEXILO_OPTIONAL_TEXT(SnippetTitle, snippetTitle, SnippetTitle)
VEXILO_OPTIONAL_TEXT(SnippetShortcut, snippetShortcut, SnippetShortcut)
#undef VEXILO_OPTIONAL_TEXT

std::optional<int> ClipItem::imageWidth() const
{
    return d->has(ClipItemData::ImageWidth) ? std::optional<int>(d->imageWidth) : std::nullopt;
}

std::optional<int> ClipItem::imageHeight() const
{
    return d->has(ClipItemData::ImageHeight) ? std::optional<int>(d->imageHeight) : std::nullopt;
}

void ClipItem::setImageSize(std::optional<int> width, std::optional<int> height)
{
    d->setOptional(ClipItemData::ImageWidth, d->imageWidth, width);
    d->setOptional(ClipItemData::ImageHeight, d->imageHeight, height);
}

bool ClipItem::hasFilePaths() const
{
    return d->has(ClipItemData::FilePaths);
}

const QStringList &ClipItem::filePaths() const
{
    return d->filePaths;
}

void ClipItem::setFilePaths(const std::optional<QStringList> &paths)
{
    d->setOptional(ClipItemData::FilePaths, d->filePaths, paths);
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
    d->searchKey.clear();
    d->searchKeyBuilt = false;
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
    return x.id == y.id && x.createdAt == y.createdAt && x.type == y.type && x.isPinned == y.isPinned
        && x.isSnippet == y.isSnippet && x.present == y.present && x.imageWidth == y.imageWidth
        && x.imageHeight == y.imageHeight && x.textContent == y.textContent && x.imageFileName == y.imageFileName
        && x.colorHex == y.colorHex && x.detectedLanguage == y.detectedLanguage && x.filePaths == y.filePaths
        && x.sourceAppName == y.sourceAppName && x.sourceAppBundleId == y.sourceAppBundleId
        && x.extractedText == y.extractedText && x.tags == y.tags && x.snippetTitle == y.snippetTitle
        && x.snippetShortcut == y.snippetShortcut;
}

const QByteArray &ClipItem::searchKey() const
{
    if (d->searchKeyBuilt)
        return d->searchKey;
    // Fields are joined by NUL so that a match never spans two fields.
    QByteArray key;
    auto add = [&key](const QString &text) {
        if (!key.isEmpty())
            key.append('\0');
        SearchText::appendFolded(key, text);
    };
    if (hasSnippetTitle())
        add(d->snippetTitle);
    if (hasTextContent())
        add(d->textContent);
    if (hasExtractedText())
        add(d->extractedText);
    if (hasColorHex())
        add(d->colorHex);
    if (hasDetectedLanguage())
        add(d->detectedLanguage);
    if (hasSourceAppName())
        add(d->sourceAppName);
    for (const QString &path : d->filePaths)
        add(path);
    for (const QString &tag : d->tags)
        add(tag);
    d->searchKey = std::move(key);
    d->searchKeyBuilt = true;
    return d->searchKey;
}

bool ClipItem::matchesFolded(QByteArrayView foldedQuery) const
{
    return SearchText::contains(searchKey(), foldedQuery);
}

bool ClipItem::matches(QStringView query) const
{
    return matchesFolded(SearchText::fold(query));
}

std::optional<QString> ClipItem::transformedText(TextTransformMode mode) const
{
    if (!hasTextContent())
        return std::nullopt;
    return TextTransformModes::transform(mode, d->textContent);
}

} // namespace Vexilo
