// SPDX-License-Identifier: MIT
#include "ClipRecordReader_p.h"

#include "JsonReader.h"
#include "SecureMemory.h"
#include "TextArena.h"
#include "Utf8.h"
#include "Uuid.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace Vexilo {

// Reads records field by field straight into a clip's shared data.
class ClipJsonDecoder
{
public:
    static ClipItemData &data(ClipItem &item) { return *item.d; }
};

namespace {

std::optional<ClipType> typeFromBytes(QByteArrayView raw)
{
    for (ClipType type : ClipTypes::allCases) {
        if (raw == ClipTypes::rawValue(type).toLatin1())
            return type;
    }
    return std::nullopt;
}

} // namespace

QString StringInterner::intern(QByteArrayView utf8)
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

ClipRecordReader::ClipRecordReader(JsonReader &reader, StringInterner *interner, std::shared_ptr<TextArena> arena)
    : m_reader(reader)
    , m_interner(interner)
    , m_arena(std::move(arena))
    , m_data(ClipJsonDecoder::data(m_item))
{ }

ClipRecordReader::~ClipRecordReader()
{
    SecureMemory::wipe(m_ownText);
    SecureMemory::wipe(m_fields);
}

std::optional<ClipItem> ClipRecordReader::read(QString *error)
{
    if (m_reader.peek() != JsonReader::Kind::Object) {
        if (!m_reader.skipValue())
            return std::nullopt;
        if (error)
            *error = QStringLiteral("record is not an object");
        return std::nullopt;
    }
    if (!m_reader.beginObject())
        return std::nullopt;
    QByteArrayView key;
    while (m_reader.nextKey(key))
        readField(key);
    if (m_reader.hasError()) {
        releaseTextInArena();
        return std::nullopt;
    }
    if (const char *missing = missingField())
        violate(QStringLiteral("missing or invalid \"%1\"").arg(QLatin1StringView(missing)));
    if (!m_problem.isEmpty()) {
        releaseTextInArena();
        if (error)
            *error = m_problem;
        return std::nullopt;
    }
    fillData();
    placeText();
    return m_item;
}

void ClipRecordReader::readField(QByteArrayView key)
{

    if (key == "id") {
        QByteArrayView raw;
        if (isString("id", false) && m_reader.readStringView(raw)) {
            m_id = Uuid::parse(raw);
            if (!m_id)
                violate(QStringLiteral("\"id\" is not a UUID"));
        }
    } else if (key == "createdAt") {
        double value = 0;
        if (m_reader.peek() != JsonReader::Kind::Number) {
            violate(QStringLiteral("\"createdAt\" is not a number"));
            m_reader.skipValue();
        } else if (m_reader.readNumber(value)) {
            m_createdAt = value;
        }
    } else if (key == "type") {
        QByteArrayView raw;
        if (isString("type", false) && m_reader.readStringView(raw)) {
            m_type = typeFromBytes(raw);
            if (!m_type)
                violate(QStringLiteral("\"type\" \"%1\" is not a clip type").arg(QString::fromUtf8(raw)));
        }
    } else if (key == "textContent") {
        readTextContent();
    } else if (key == "imageFileName") {
        readText("imageFileName", ClipItemData::ImageFileName, m_data.ext().imageFileName, false, false);
    } else if (key == "imageWidth") {
        m_width = readInt("imageWidth");
    } else if (key == "imageHeight") {
        m_height = readInt("imageHeight");
    } else if (key == "colorHex") {
        readText("colorHex", ClipItemData::ColorHex, m_data.ext().colorHex, true, true);
    } else if (key == "detectedLanguage") {
        readText("detectedLanguage", ClipItemData::DetectedLanguage, m_data.ext().detectedLanguage, true, true);
    } else if (key == "filePaths") {
        noteRepeat(m_data.has(ClipItemData::FilePaths));
        m_data.ext().filePaths.clear();
        if (readStringArray("filePaths", true, m_data.ext().filePaths, true))
            m_data.mark(ClipItemData::FilePaths, true);
    } else if (key == "isPinned") {
        m_isPinned = readBool("isPinned");
    } else if (key == "sourceAppName") {
        readText("sourceAppName", ClipItemData::SourceAppName, m_data.sourceAppName, true, true);
    } else if (key == "sourceAppBundleId") {
        readText("sourceAppBundleId", ClipItemData::SourceAppBundleId, m_data.sourceAppBundleId, true, false);
    } else if (key == "extractedText") {
        readText("extractedText", ClipItemData::ExtractedText, m_data.ext().extractedText, false, true);
    } else if (key == "tags") {
        noteRepeat(m_hasTags);
        m_data.tags.clear();
        m_hasTags = readStringArray("tags", false, m_data.tags, true);
    } else if (key == "isSnippet") {
        m_isSnippet = readBool("isSnippet");
    } else if (key == "snippetTitle") {
        readText("snippetTitle", ClipItemData::SnippetTitle, m_data.ext().snippetTitle, false, true);
    } else if (key == "snippetShortcut") {
        readText("snippetShortcut", ClipItemData::SnippetShortcut, m_data.ext().snippetShortcut, false, false);
    } else {
        m_reader.skipValue();
    }
}

void ClipRecordReader::readTextContent()
{
    QByteArrayView raw;
    if (!isString("textContent", true) || !m_reader.readStringView(raw))
        return;
    m_data.mark(ClipItemData::TextContent, true);
    // A repeated key: the last one counts.
    releaseTextInArena();
    SecureMemory::wipe(m_ownText);
    if (m_arena && Utf8::isValid(raw)) {
        m_textInArena = m_arena->append(raw);
        m_data.textSize = raw.size();
    } else {
        m_ownText = Utf8::isValid(raw) ? raw.toByteArray() : QString::fromUtf8(raw).toUtf8();
    }
}

// Whether the value is a string; null is accepted (as absent) for optional keys, anything else breaks
// the record and is skipped.
bool ClipRecordReader::isString(const char *name, bool optional)
{
    const auto kind = m_reader.peek();
    if (kind == JsonReader::Kind::String)
        return true;
    if (kind == JsonReader::Kind::Null && optional) {
        m_reader.readNull();
        return false;
    }
    violate(QStringLiteral("\"%1\" is not a string").arg(QLatin1StringView(name)));
    m_reader.skipValue();
    return false;
}

// An optional text field: stored and marked present when it is a string.
void ClipRecordReader::readText(const char *name, ClipItemData::Field field, QString &target, bool intern,
                                bool searched)
{
    if (searched)
        noteRepeat(m_data.has(field));
    QByteArrayView raw;
    if (!isString(name, true) || !m_reader.readStringView(raw))
        return;
    target = intern && m_interner ? m_interner->intern(raw) : QString::fromUtf8(raw);
    m_data.mark(field, true);
    if (searched)
        addSearchField(raw);
}

bool ClipRecordReader::readStringArray(const char *name, bool optional, QStringList &target, bool searched)
{
    const auto kind = m_reader.peek();
    if (kind == JsonReader::Kind::Null && optional) {
        m_reader.readNull();
        return false;
    }
    // Built only when needed: this runs for every record of a large history.
    auto problem = [name] { return QStringLiteral("\"%1\" is not an array of strings").arg(QLatin1StringView(name)); };
    if (kind != JsonReader::Kind::Array) {
        violate(problem());
        m_reader.skipValue();
        return false;
    }
    m_reader.beginArray();
    while (m_reader.nextElement()) {
        if (m_reader.peek() != JsonReader::Kind::String) {
            violate(problem());
            m_reader.skipValue();
            continue;
        }
        QByteArrayView raw;
        if (!m_reader.readStringView(raw))
            break;
        target.append(m_interner ? m_interner->intern(raw) : QString::fromUtf8(raw));
        if (searched)
            addSearchField(raw);
    }
    return true;
}

std::optional<bool> ClipRecordReader::readBool(const char *name)
{
    const auto kind = m_reader.peek();
    if (kind != JsonReader::Kind::True && kind != JsonReader::Kind::False) {
        violate(QStringLiteral("\"%1\" is not a boolean").arg(QLatin1StringView(name)));
        m_reader.skipValue();
        return std::nullopt;
    }
    bool value = false;
    m_reader.readBool(value);
    return value;
}

std::optional<int> ClipRecordReader::readInt(const char *name)
{
    const auto kind = m_reader.peek();
    if (kind == JsonReader::Kind::Null) {
        m_reader.readNull();
        return std::nullopt;
    }
    double value = 0;
    if (kind != JsonReader::Kind::Number || !m_reader.readNumber(value) || value != std::trunc(value) ||
        value < double(std::numeric_limits<int>::min()) || value > double(std::numeric_limits<int>::max())) {
        violate(QStringLiteral("\"%1\" is not an integer").arg(QLatin1StringView(name)));
        if (kind != JsonReader::Kind::Number)
            m_reader.skipValue();
        return std::nullopt;
    }
    return int(value);
}

void ClipRecordReader::addSearchField(QByteArrayView raw)
{
    m_fields.append('\0');
    if (Utf8::isValid(raw))
        m_fields.append(raw);
    else
        m_fields.append(QString::fromUtf8(raw).toUtf8());
}

// A key given twice counts once, with its last value: the searched bytes read on the way for it are
// then rebuilt from the fields at the end.
void ClipRecordReader::noteRepeat(bool seenBefore)
{
    m_repeatedSearchedKey = m_repeatedSearchedKey || seenBefore;
}

void ClipRecordReader::violate(const QString &message)
{
    if (m_problem.isEmpty())
        m_problem = message;
}

const char *ClipRecordReader::missingField() const
{
    return !m_id       ? "id"
        : !m_createdAt ? "createdAt"
        : !m_type      ? "type"
        : !m_isPinned  ? "isPinned"
        : !m_hasTags   ? "tags"
        : !m_isSnippet ? "isSnippet"
                       : nullptr;
}

void ClipRecordReader::fillData()
{
    m_data.id = *m_id;
    m_data.createdAt = *m_createdAt;
    m_data.type = *m_type;
    m_data.isPinned = *m_isPinned;
    m_data.isSnippet = *m_isSnippet;
    if (m_width || m_height) {
        m_data.ext().imageWidth = m_width.value_or(0);
        m_data.ext().imageHeight = m_height.value_or(0);
    }
    m_data.mark(ClipItemData::ImageWidth, m_width.has_value());
    m_data.mark(ClipItemData::ImageHeight, m_height.has_value());
}

// The text and the other searched fields as one run: in the arena when there is one, right after the
// text when it still fits there.
void ClipRecordReader::placeText()
{
    if (m_repeatedSearchedKey) {
        SecureMemory::wipe(m_fields);
        m_data.appendSearchFields([this](QByteArrayView bytes) { m_fields.append(bytes); });
    }
    if (!m_arena || !m_ownText.isEmpty() || (m_data.has(ClipItemData::TextContent) && !m_textInArena)) {
        m_data.textSize = 0;
        m_data.rebuildSearch(m_ownText);
        return;
    }
    const qsizetype textSize = m_textInArena ? m_data.textSize : 0;
    const char *start = nullptr;
    if (m_textInArena) {
        if (char *more = m_arena->extendLast(m_fields.size())) {
            std::memcpy(more, m_fields.constData(), size_t(m_fields.size()));
            start = m_textInArena;
        }
    }
    if (!start) {
        char *block = m_arena->allocate(textSize + m_fields.size());
        if (textSize)
            std::memcpy(block, m_textInArena, size_t(textSize));
        std::memcpy(block + textSize, m_fields.constData(), size_t(m_fields.size()));
        // The text's first place is not needed any more.
        releaseTextInArena();
        start = block;
    }
    m_textInArena = nullptr;
    m_data.search = QByteArray::fromRawData(start, textSize + m_fields.size());
    m_data.textSize = textSize;
    m_data.arena = m_arena;
}

void ClipRecordReader::releaseTextInArena()
{
    if (m_textInArena)
        m_arena->release(m_textInArena, m_data.textSize);
    m_textInArena = nullptr;
}

} // namespace Vexilo
