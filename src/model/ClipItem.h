// SPDX-License-Identifier: MIT
#pragma once

#include "ClipType.h"
#include "TextTransformMode.h"

#include <QByteArray>
#include <QSharedDataPointer>
#include <QStringList>
#include <QUuid>
#include <memory>
#include <optional>

namespace Vexilo {

class ClipItemData;
class SearchQuery;
class TextArena;

// One history record: a copied text, link, code, colour, image, file list, or a snippet.
// A value type with implicit sharing, so the store, its snapshots and the views copy it cheaply.
// Optional fields are absent rather than empty: absent fields are not written to the history file.
class ClipItem
{
public:
    ClipItem();
    ClipItem(const QUuid &id, double createdAt, ClipType type, bool isPinned = false, QStringList tags = {},
             bool isSnippet = false);
    ClipItem(const ClipItem &other);
    ClipItem(ClipItem &&other) noexcept;
    ClipItem &operator=(const ClipItem &other);
    ClipItem &operator=(ClipItem &&other) noexcept;
    ~ClipItem();

    [[nodiscard]] QUuid id() const;
    // Seconds since 2001-01-01 00:00:00 UTC, see ReferenceDate.
    [[nodiscard]] double createdAt() const;
    [[nodiscard]] ClipType type() const;
    void setType(ClipType type);

    // The text is kept as UTF-8: half the memory of a QString for most text, and searchable as is.
    [[nodiscard]] bool hasTextContent() const;
    [[nodiscard]] QString textContent() const;
    [[nodiscard]] QByteArrayView textContentUtf8() const;
    void setTextContent(const std::optional<QString> &text);
    // Takes valid UTF-8.
    void setTextContentUtf8(const std::optional<QByteArray> &utf8);

    [[nodiscard]] bool hasImageFileName() const;
    [[nodiscard]] const QString &imageFileName() const;
    void setImageFileName(const std::optional<QString> &name);

    [[nodiscard]] std::optional<int> imageWidth() const;
    [[nodiscard]] std::optional<int> imageHeight() const;
    void setImageSize(std::optional<int> width, std::optional<int> height);

    [[nodiscard]] bool hasColorHex() const;
    [[nodiscard]] const QString &colorHex() const;
    void setColorHex(const std::optional<QString> &hex);

    [[nodiscard]] bool hasDetectedLanguage() const;
    [[nodiscard]] const QString &detectedLanguage() const;
    void setDetectedLanguage(const std::optional<QString> &language);

    [[nodiscard]] bool hasFilePaths() const;
    [[nodiscard]] const QStringList &filePaths() const;
    void setFilePaths(const std::optional<QStringList> &paths);

    [[nodiscard]] bool isPinned() const;
    void setPinned(bool pinned);

    [[nodiscard]] bool hasSourceAppName() const;
    [[nodiscard]] const QString &sourceAppName() const;
    void setSourceAppName(const std::optional<QString> &name);

    [[nodiscard]] bool hasSourceAppBundleId() const;
    [[nodiscard]] const QString &sourceAppBundleId() const;
    void setSourceAppBundleId(const std::optional<QString> &bundleId);

    [[nodiscard]] bool hasExtractedText() const;
    [[nodiscard]] const QString &extractedText() const;
    void setExtractedText(const std::optional<QString> &text);

    [[nodiscard]] const QStringList &tags() const;
    void setTags(const QStringList &tags);

    [[nodiscard]] bool isSnippet() const;
    void setSnippet(bool snippet);

    [[nodiscard]] bool hasSnippetTitle() const;
    [[nodiscard]] const QString &snippetTitle() const;
    void setSnippetTitle(const std::optional<QString> &title);

    [[nodiscard]] bool hasSnippetShortcut() const;
    [[nodiscard]] const QString &snippetShortcut() const;
    void setSnippetShortcut(const std::optional<QString> &shortcut);

    // Memberwise over all eighteen fields.
    friend bool operator==(const ClipItem &a, const ClipItem &b);
    friend bool operator!=(const ClipItem &a, const ClipItem &b) { return !(a == b); }

    // Search: true when the query occurs case-insensitively in one of the searched fields.
    // An empty query matches nothing.
    [[nodiscard]] bool matches(QStringView query) const;
    // The same test with a prepared query. Safe to run for different clips on different threads.
    [[nodiscard]] bool matches(const SearchQuery &query) const;
    // Everything a search looks at, in UTF-8: the text, then the other searched fields, each after a
    // NUL byte. Valid while this clip is alive and unchanged.
    [[nodiscard]] QByteArrayView searchText() const;

    // Display texts.
    [[nodiscard]] QString previewTitle() const;
    [[nodiscard]] QString previewSnippet() const;
    [[nodiscard]] int characterCount() const;
    [[nodiscard]] int wordCount() const;
    [[nodiscard]] int lineCount() const;
    [[nodiscard]] QString timeAgoString() const;
    [[nodiscard]] QString timeAgoString(double now) const;
    [[nodiscard]] QString typeDisplayName() const;
    [[nodiscard]] QString listTypeBadgeLabel() const;

    [[nodiscard]] std::optional<QString> transformedText(TextTransformMode mode) const;

    // Asks the processor to start loading the clip's data, for loops that are about to read it.
    void prefetch() const { __builtin_prefetch(d.constData()); }
    // Likewise for its text; the clip's data must be loaded or on its way already.
    void prefetchText() const;

    // Clips read from a file share a block of memory for their texts. Once most of that block's
    // clips are gone, the few left take their own copies so that the block can be given back. True
    // when this clip did so.
    bool leaveSparseArena();
    // Clips live in blocks of memory of their own. Once most of those are free (after a large
    // clear), the clips left move to a fresh block so that the old ones can be given back:
    // beginFreshStorage(), then moveToFreshStorage() for each clip kept.
    [[nodiscard]] static bool storageIsSparse();
    static void beginFreshStorage();
    void moveToFreshStorage();

    // Id in canonical upper-case form without braces, as in the history file.
    [[nodiscard]] QString idString() const;

private:
    // Reads records field by field into the shared data.
    friend class ClipJsonDecoder;

    QSharedDataPointer<ClipItemData> d;
};

} // namespace Vexilo

Q_DECLARE_TYPEINFO(Vexilo::ClipItem, Q_RELOCATABLE_TYPE);
