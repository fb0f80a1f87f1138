// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"
#include "ObjectPool.h"
#include "SecureMemory.h"
#include "TextArena.h"

#include <QSharedData>

namespace Vexilo {

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

#if !defined(__SANITIZE_ADDRESS__)
#define VEXILO_POOLED_CLIPS
    // Pooled, they fill huge pages instead of faulting in the heap 4 KB at a time. Sanitizer builds
    // use the ordinary heap so that misuse is still caught.
    static void *operator new(size_t size)
    {
        Q_ASSERT(size == sizeof(ClipItemData));
        Q_UNUSED(size);
        return pool().allocate();
    }
    static void operator delete(void *block)
    {
        pool().release(block);
    }
    static ObjectPool &pool()
    {
        // Never destroyed: clips may outlive every other static object.
        static ObjectPool *instance = new ObjectPool(sizeof(ClipItemData));
        return *instance;
    }
#endif

    ClipItemData() = default;
    // A region of an arena has one owner, so a copy takes its own copy of the text.
    ClipItemData(const ClipItemData &other)
        : QSharedData(other)
        , id(other.id)
        , createdAt(other.createdAt)
        , type(other.type)
        , isPinned(other.isPinned)
        , isSnippet(other.isSnippet)
        , present(other.present)
        , search(other.arena ? QByteArray(other.search.constData(), other.search.size()) : other.search)
        , textSize(other.textSize)
        , sourceAppName(other.sourceAppName)
        , sourceAppBundleId(other.sourceAppBundleId)
        , tags(other.tags)
        , extras(other.extras ? std::make_unique<Extras>(*other.extras) : nullptr)
    { }
    // The clip is gone for good: what it held is wiped, not just freed.
    ~ClipItemData()
    {
        releaseSearch();
        if (extras) {
            SecureMemory::wipe(extras->extractedText);
            SecureMemory::wipe(extras->snippetTitle);
        }
    }
    ClipItemData &operator=(const ClipItemData &) = delete;

    [[nodiscard]] bool has(Field f) const
    {
        return present & f;
    }
    void mark(Field f, bool on)
    {
        present = on ? (present | f) : (present & ~f);
    }
    Extras &ext()
    {
        if (!extras)
            extras = std::make_unique<Extras>();
        return *extras;
    }
    [[nodiscard]] QByteArrayView text() const
    {
        return QByteArrayView(search.constData(), textSize);
    }

    // Appends the searched fields other than the text, each after a NUL byte so that no match spans
    // two fields.
    template<typename Append>
    void appendSearchFields(Append &&append) const
    {
        auto field = [&append](const QString &value) {
            append(QByteArrayView("\0", 1));
            append(QByteArrayView(value.toUtf8()));
        };
        if (has(SourceAppName))
            field(sourceAppName);
        for (const QString &tag : tags)
            field(tag);
        if (!extras)
            return;
        if (has(SnippetTitle))
            field(extras->snippetTitle);
        if (has(ExtractedText))
            field(extras->extractedText);
        if (has(ColorHex))
            field(extras->colorHex);
        if (has(DetectedLanguage))
            field(extras->detectedLanguage);
        for (const QString &path : extras->filePaths)
            field(path);
    }

    // After a change of a searched field: the text followed by the other fields, in memory of its own.
    void rebuildSearch(QByteArrayView newText)
    {
        // Sized exactly: a reallocation would leave a copy of the text behind in freed memory.
        qsizetype size = newText.size();
        appendSearchFields([&size](QByteArrayView bytes) { size += bytes.size(); });
        QByteArray joined;
        joined.reserve(size);
        joined.append(newText);
        appendSearchFields([&joined](QByteArrayView bytes) { joined.append(bytes); });
        releaseSearch();
        textSize = newText.size();
        search = std::move(joined);
    }
    // Gives up the searched bytes: an arena region is wiped and handed back, owned bytes are wiped
    // unless a copy of this clip still shares them.
    void releaseSearch()
    {
        if (arena) {
            arena->release(search.constData(), search.size());
            arena.reset();
            search = QByteArray();
        } else {
            SecureMemory::wipe(search);
        }
    }
    // Moves the text out of a mostly released arena into memory of its own. Only for data nobody
    // else shares.
    void leaveArena()
    {
        if (!arena)
            return;
        QByteArray own(search.constData(), search.size());
        releaseSearch();
        search = std::move(own);
    }
    void rebuildSearch()
    {
        rebuildSearch(QByteArray(text().data(), text().size()));
    }

    QUuid id;
    double createdAt = 0;
    ClipType type = ClipType::Text;
    bool isPinned = false;
    bool isSnippet = false;
    quint16 present = 0;
    // The text (UTF-8) and then the other searched fields; owned, or a view into `arena`, which stays
    // alive as long as the view.
    QByteArray search;
    qsizetype textSize = 0;
    std::shared_ptr<TextArena> arena;
    QString sourceAppName;
    QString sourceAppBundleId;
    QStringList tags;
    std::unique_ptr<Extras> extras;
};

} // namespace Vexilo
