// SPDX-License-Identifier: MIT
// Reading clips and whole history files, fast enough for a history of 100,000 clips.
#include "ClipJson.h"

#include "ClipItem_p.h"
#include "JsonReader.h"
#include "TextArena.h"
#include "Utf8.h"
#include "Uuid.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>

namespace Vexilo {

// Reads records field by field straight into a clip's shared data.
class ClipJsonDecoder
{
public:
    static ClipItemData &data(ClipItem &item) { return *item.d; }
};

namespace ClipJson {

namespace {

// Repeated short values (application names, languages, tags) share one string across clips, which
// keeps a large history's memory close to its file size. Looked up by their raw bytes, so a repeat
// costs no conversion.
class Interner
{
public:
    QString intern(QByteArrayView utf8)
    {
        if (utf8.size() > 64)
            return QString::fromUtf8(utf8);
        const std::string_view key(utf8.data(), size_t(utf8.size()));
        auto it = m_strings.find(key);
        if (it != m_strings.end())
            return it->second;
        QString value = QString::fromUtf8(utf8);
        m_strings.emplace(std::string(key), value);
        return value;
    }

private:
    struct Hash
    {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> m_strings;
};

std::optional<ClipType> typeFromBytes(QByteArrayView raw)
{
    for (ClipType type : ClipTypes::allCases) {
        if (raw == ClipTypes::rawValue(type).toLatin1())
            return type;
    }
    return std::nullopt;
}

std::optional<ClipItem> decodeRecord(JsonReader &reader, QString *error, Interner *interner,
                                     const std::shared_ptr<TextArena> &arena)
{
    QString problem;
    auto violate = [&problem](const QString &message) {
        if (problem.isEmpty())
            problem = message;
    };

    if (reader.peek() != JsonReader::Kind::Object) {
        if (!reader.skipValue())
            return std::nullopt;
        if (error)
            *error = QStringLiteral("record is not an object");
        return std::nullopt;
    }
    if (!reader.beginObject())
        return std::nullopt;

    ClipItem item;
    ClipItemData &data = ClipJsonDecoder::data(item);
    std::optional<QUuid> id;
    std::optional<double> createdAt;
    std::optional<ClipType> type;
    std::optional<bool> isPinned;
    std::optional<bool> isSnippet;
    bool hasTags = false;
    std::optional<int> width;
    std::optional<int> height;
    // The text goes to the arena as it is read; the other searched fields follow it there once the
    // record is complete, so that a search reads one run of bytes.
    const char *textInArena = nullptr;
    QByteArray ownText;
    QByteArray fields;
    auto addSearchField = [&fields](QByteArrayView raw) {
        fields.append('\0');
        if (Utf8::isValid(raw))
            fields.append(raw);
        else
            fields.append(QString::fromUtf8(raw).toUtf8());
    };

    // Whether the value is a string; null is accepted (as absent) for optional keys, anything else
    // breaks the record and is skipped.
    auto isString = [&](const char *name, bool optional) {
        const auto kind = reader.peek();
        if (kind == JsonReader::Kind::String)
            return true;
        if (kind == JsonReader::Kind::Null && optional) {
            reader.readNull();
            return false;
        }
        violate(QStringLiteral("\"%1\" is not a string").arg(QLatin1StringView(name)));
        reader.skipValue();
        return false;
    };
    // An optional text field: stores it and marks it present when it is a string.
    auto readText = [&](const char *name, ClipItemData::Field field, QString &target, bool intern, bool searched) {
        if (!isString(name, true))
            return;
        QByteArrayView raw;
        if (!reader.readStringView(raw))
            return;
        target = intern && interner ? interner->intern(raw) : QString::fromUtf8(raw);
        data.mark(field, true);
        if (searched)
            addSearchField(raw);
    };
    auto readStringArray = [&](const char *name, bool optional, QStringList &target, bool searched) -> bool {
        const auto kind = reader.peek();
        if (kind == JsonReader::Kind::Null && optional) {
            reader.readNull();
            return false;
        }
        if (kind != JsonReader::Kind::Array) {
            violate(QStringLiteral("\"%1\" is not an array of strings").arg(QLatin1StringView(name)));
            reader.skipValue();
            return false;
        }
        reader.beginArray();
        while (reader.nextElement()) {
            if (reader.peek() != JsonReader::Kind::String) {
                violate(QStringLiteral("\"%1\" is not an array of strings").arg(QLatin1StringView(name)));
                reader.skipValue();
                continue;
            }
            QByteArrayView raw;
            if (!reader.readStringView(raw))
                break;
            target.append(interner ? interner->intern(raw) : QString::fromUtf8(raw));
            if (searched)
                addSearchField(raw);
        }
        return true;
    };
    auto readBool = [&](const char *name) -> std::optional<bool> {
        const auto kind = reader.peek();
        if (kind != JsonReader::Kind::True && kind != JsonReader::Kind::False) {
            violate(QStringLiteral("\"%1\" is not a boolean").arg(QLatin1StringView(name)));
            reader.skipValue();
            return std::nullopt;
        }
        bool value = false;
        reader.readBool(value);
        return value;
    };
    auto readInt = [&](const char *name) -> std::optional<int> {
        const auto kind = reader.peek();
        if (kind == JsonReader::Kind::Null) {
            reader.readNull();
            return std::nullopt;
        }
        double value = 0;
        if (kind != JsonReader::Kind::Number || !reader.readNumber(value) || value != std::trunc(value) ||
            value < double(std::numeric_limits<int>::min()) || value > double(std::numeric_limits<int>::max())) {
            violate(QStringLiteral("\"%1\" is not an integer").arg(QLatin1StringView(name)));
            if (kind != JsonReader::Kind::Number)
                reader.skipValue();
            return std::nullopt;
        }
        return int(value);
    };

    QByteArrayView key;
    while (reader.nextKey(key)) {
        if (key == "id") {
            QByteArrayView raw;
            if (isString("id", false) && reader.readStringView(raw)) {
                id = Uuid::parse(raw);
                if (!id)
                    violate(QStringLiteral("\"id\" is not a UUID"));
            }
        } else if (key == "createdAt") {
            double value = 0;
            if (reader.peek() == JsonReader::Kind::Number) {
                if (reader.readNumber(value))
                    createdAt = value;
            } else {
                violate(QStringLiteral("\"createdAt\" is not a number"));
                reader.skipValue();
            }
        } else if (key == "type") {
            QByteArrayView raw;
            if (isString("type", false) && reader.readStringView(raw)) {
                type = typeFromBytes(raw);
                if (!type)
                    violate(QStringLiteral("\"type\" \"%1\" is not a clip type").arg(QString::fromUtf8(raw)));
            }
        } else if (key == "textContent") {
            QByteArrayView raw;
            if (isString("textContent", true) && reader.readStringView(raw)) {
                data.mark(ClipItemData::TextContent, true);
                textInArena = nullptr;
                ownText.clear();
                if (arena && Utf8::isValid(raw)) {
                    textInArena = arena->append(raw);
                    data.textSize = raw.size();
                } else {
                    ownText = Utf8::isValid(raw) ? raw.toByteArray() : QString::fromUtf8(raw).toUtf8();
                }
            }
        } else if (key == "imageFileName") {
            readText("imageFileName", ClipItemData::ImageFileName, data.ext().imageFileName, false, false);
        } else if (key == "imageWidth") {
            width = readInt("imageWidth");
        } else if (key == "imageHeight") {
            height = readInt("imageHeight");
        } else if (key == "colorHex") {
            readText("colorHex", ClipItemData::ColorHex, data.ext().colorHex, true, true);
        } else if (key == "detectedLanguage") {
            readText("detectedLanguage", ClipItemData::DetectedLanguage, data.ext().detectedLanguage, true, true);
        } else if (key == "filePaths") {
            data.ext().filePaths.clear();
            if (readStringArray("filePaths", true, data.ext().filePaths, true))
                data.mark(ClipItemData::FilePaths, true);
        } else if (key == "isPinned") {
            isPinned = readBool("isPinned");
        } else if (key == "sourceAppName") {
            readText("sourceAppName", ClipItemData::SourceAppName, data.sourceAppName, true, true);
        } else if (key == "sourceAppBundleId") {
            readText("sourceAppBundleId", ClipItemData::SourceAppBundleId, data.sourceAppBundleId, true, false);
        } else if (key == "extractedText") {
            readText("extractedText", ClipItemData::ExtractedText, data.ext().extractedText, false, true);
        } else if (key == "tags") {
            data.tags.clear();
            hasTags = readStringArray("tags", false, data.tags, true);
        } else if (key == "isSnippet") {
            isSnippet = readBool("isSnippet");
        } else if (key == "snippetTitle") {
            readText("snippetTitle", ClipItemData::SnippetTitle, data.ext().snippetTitle, false, true);
        } else if (key == "snippetShortcut") {
            readText("snippetShortcut", ClipItemData::SnippetShortcut, data.ext().snippetShortcut, false, false);
        } else {
            reader.skipValue();
        }
    }
    if (reader.hasError())
        return std::nullopt;

    const char *missing = !id ? "id"
        : !createdAt          ? "createdAt"
        : !type               ? "type"
        : !isPinned           ? "isPinned"
        : !hasTags            ? "tags"
        : !isSnippet          ? "isSnippet"
                              : nullptr;
    if (missing)
        violate(QStringLiteral("missing or invalid \"%1\"").arg(QLatin1StringView(missing)));
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return std::nullopt;
    }

    data.id = *id;
    data.createdAt = *createdAt;
    data.type = *type;
    data.isPinned = *isPinned;
    data.isSnippet = *isSnippet;
    if (width || height) {
        data.ext().imageWidth = width.value_or(0);
        data.ext().imageHeight = height.value_or(0);
    }
    data.mark(ClipItemData::ImageWidth, width.has_value());
    data.mark(ClipItemData::ImageHeight, height.has_value());

    if (!arena || !ownText.isEmpty() || (data.has(ClipItemData::TextContent) && !textInArena)) {
        data.textSize = 0;
        data.rebuildSearch(ownText);
        return item;
    }
    // Text and fields as one run in the arena: right after the text when it still fits there.
    const qsizetype textSize = textInArena ? data.textSize : 0;
    const char *start = nullptr;
    if (textInArena) {
        if (char *more = arena->extendLast(fields.size())) {
            std::memcpy(more, fields.constData(), size_t(fields.size()));
            start = textInArena;
        }
    }
    if (!start) {
        char *block = arena->allocate(textSize + fields.size());
        if (textSize)
            std::memcpy(block, textInArena, size_t(textSize));
        std::memcpy(block + textSize, fields.constData(), size_t(fields.size()));
        start = block;
    }
    data.search = QByteArray::fromRawData(start, textSize + fields.size());
    data.textSize = textSize;
    data.arena = arena;
    return item;
}

} // namespace

std::optional<ClipItem> decodeItem(JsonReader &reader, QString *error)
{
    return decodeRecord(reader, error, nullptr, nullptr);
}

std::optional<ClipItem> decodeItem(QByteArrayView json, QString *error)
{
    JsonReader reader(json);
    auto item = decodeRecord(reader, error, nullptr, nullptr);
    if (item && !reader.atEnd()) {
        if (error)
            *error = reader.hasError() ? reader.errorString() : QStringLiteral("trailing data after the record");
        return std::nullopt;
    }
    if (!item && reader.hasError() && error)
        *error = reader.errorString();
    return item;
}

namespace {

// The records of one stretch of the array, read by one thread.
struct Stretch
{
    QList<ClipItem> items;
    int records = 0;
    int skipped = 0;
    QString firstProblem; // "record <index within the stretch>: ..."
    bool syntaxError = false;
    QString syntaxMessage;
    bool reachedStop = false;
};

// Reads elements until the array ends or, when stopOffset is positive, until an element ends exactly
// there. Gives up early when `cancel` is set.
Stretch decodeStretch(JsonReader &reader, qsizetype sizeHint, qsizetype stopOffset, const std::atomic<bool> *cancel)
{
    Stretch stretch;
    Interner interner;
    // The texts of all records share one block.
    const auto arena = std::make_shared<TextArena>(sizeHint);
    stretch.items.reserve(qMax<qsizetype>(16, sizeHint / 600));
    while (reader.nextElement()) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            return stretch;
        QString problem;
        if (auto item = decodeRecord(reader, &problem, &interner, arena)) {
            stretch.items.append(std::move(*item));
        } else if (!reader.hasError()) {
            ++stretch.skipped;
            if (stretch.firstProblem.isEmpty())
                stretch.firstProblem = QStringLiteral("record %1: %2").arg(stretch.records).arg(problem);
        }
        ++stretch.records;
        if (stopOffset > 0 && reader.offset() >= stopOffset) {
            stretch.reachedStop = reader.offset() == stopOffset;
            if (stretch.reachedStop)
                return stretch;
            stopOffset = 0; // passed it inside a record: the guess was not a boundary
        }
    }
    if (reader.hasError()) {
        stretch.syntaxError = true;
        stretch.syntaxMessage = reader.errorString();
    } else if (!reader.atEnd()) {
        stretch.syntaxError = true;
        stretch.syntaxMessage = QStringLiteral("trailing data after the array");
    }
    return stretch;
}

// A guess at a record boundary near the middle: "},{" followed by a quote cannot occur inside a JSON
// string, whose quotes are escaped, but can occur inside nested values, so it is only a guess.
qsizetype boundaryGuess(QByteArrayView data)
{
    const QByteArrayView pattern("},{\"");
    const qsizetype found = data.indexOf(pattern, data.size() / 2);
    return found < 0 ? -1 : found;
}

constexpr qsizetype parallelDecodeThreshold = qsizetype(4) << 20;

} // namespace

DecodeResult decodeHistory(QByteArrayView data)
{
    DecodeResult result;
    JsonReader reader(data);
    if (reader.peek() != JsonReader::Kind::Array) {
        result.error = reader.peek() == JsonReader::Kind::End ? QStringLiteral("the file is empty")
                                                              : QStringLiteral("the file is not a JSON array");
        return result;
    }
    result.isArray = true;
    reader.beginArray();

    // A large file is read by two threads: the second starts at a guessed record boundary, and its
    // work is used only if the first thread, reading on, ends a record exactly there.
    const qsizetype guess = data.size() >= parallelDecodeThreshold ? boundaryGuess(data) : -1;
    Stretch first;
    Stretch second;
    bool useSecond = false;
    if (guess > 0 && std::thread::hardware_concurrency() > 1) {
        std::atomic<bool> cancel{false};
        const qsizetype secondStart = guess + 2; // at the "{"
        std::thread worker([&] {
            JsonReader tail(data.sliced(secondStart));
            tail.continueArray();
            second = decodeStretch(tail, data.size() - secondStart, 0, &cancel);
        });
        first = decodeStretch(reader, secondStart, guess + 1, nullptr);
        if (!first.reachedStop)
            cancel.store(true);
        worker.join();
        useSecond = first.reachedStop;
    } else {
        first = decodeStretch(reader, data.size(), 0, nullptr);
    }

    result.items = std::move(first.items);
    result.skippedRecords = first.skipped;
    result.error = first.firstProblem;
    const Stretch &last = useSecond ? second : first;
    if (useSecond) {
        result.items.append(std::move(second.items));
        result.skippedRecords += second.skipped;
        if (result.error.isEmpty() && !second.firstProblem.isEmpty()) {
            // Renumber from the start of the file.
            const qsizetype colon = second.firstProblem.indexOf(u':');
            const int index = second.firstProblem.mid(7, colon - 7).toInt() + first.records;
            result.error = QStringLiteral("record %1").arg(index) + second.firstProblem.mid(colon);
        }
    }
    if (last.syntaxError) {
        result.error = last.syntaxMessage;
        result.syntaxError = true;
        return result;
    }
    result.complete = result.skippedRecords == 0;
    return result;
}

} // namespace ClipJson
} // namespace Vexilo
