// SPDX-License-Identifier: MIT
#include "ClipJson.h"

#include "JsonReader.h"
#include "JsonWriter.h"

#include <QHash>
#include <cmath>

namespace Vexilo::ClipJson {

namespace {

using namespace JsonWriter;

// Repeated short values (application names, languages, tags) share one string across clips, which
// keeps a large history's memory close to its file size.
class Interner
{
public:
    QString intern(QString value)
    {
        if (value.size() > 64)
            return value;
        auto it = m_strings.constFind(value);
        if (it != m_strings.constEnd())
            return *it;
        m_strings.insert(value, value);
        return value;
    }

private:
    QHash<QString, QString> m_strings;
};

void appendUuid(QByteArray &out, const QUuid &id)
{
    out.append('"');
    out.append(id.toByteArray(QUuid::WithoutBraces).toUpper());
    out.append('"');
}

// Writes one member; `pretty` adds the indentation and " : " separator of readable exports.
class ObjectWriter
{
public:
    ObjectWriter(QByteArray &out, int indent)
        : m_out(out)
        , m_indent(indent)
    {
        m_out.append('{');
    }

    void key(const char *name)
    {
        if (!m_first)
            m_out.append(',');
        m_first = false;
        if (m_indent >= 0) {
            m_out.append('\n');
            m_out.append(QByteArray(m_indent + 2, ' '));
            m_out.append('"');
            m_out.append(name);
            m_out.append("\" : ");
        } else {
            m_out.append('"');
            m_out.append(name);
            m_out.append("\":");
        }
    }

    void stringList(const QStringList &list)
    {
        m_out.append('[');
        if (list.isEmpty()) {
            m_out.append(']');
            return;
        }
        bool first = true;
        for (const QString &s : list) {
            if (!first)
                m_out.append(',');
            first = false;
            if (m_indent >= 0) {
                m_out.append('\n');
                m_out.append(QByteArray(m_indent + 4, ' '));
            }
            appendString(m_out, s);
        }
        if (m_indent >= 0) {
            m_out.append('\n');
            m_out.append(QByteArray(m_indent + 2, ' '));
        }
        m_out.append(']');
    }

    void finish()
    {
        if (m_indent >= 0) {
            m_out.append('\n');
            m_out.append(QByteArray(m_indent, ' '));
        }
        m_out.append('}');
    }

private:
    QByteArray &m_out;
    int m_indent;
    bool m_first = true;
};

void writeItem(QByteArray &out, const ClipItem &item, int indent)
{
    ObjectWriter w(out, indent);
    auto text = [&](const char *name, bool present, const QString &value) {
        if (!present)
            return;
        w.key(name);
        appendString(out, value);
    };
    w.key("id");
    appendUuid(out, item.id());
    w.key("createdAt");
    appendNumber(out, item.createdAt());
    w.key("type");
    appendString(out, ClipTypes::rawValue(item.type()));
    text("textContent", item.hasTextContent(), item.textContent());
    text("imageFileName", item.hasImageFileName(), item.imageFileName());
    if (const auto width = item.imageWidth()) {
        w.key("imageWidth");
        appendInteger(out, *width);
    }
    if (const auto height = item.imageHeight()) {
        w.key("imageHeight");
        appendInteger(out, *height);
    }
    text("colorHex", item.hasColorHex(), item.colorHex());
    text("detectedLanguage", item.hasDetectedLanguage(), item.detectedLanguage());
    if (item.hasFilePaths()) {
        w.key("filePaths");
        w.stringList(item.filePaths());
    }
    w.key("isPinned");
    out.append(item.isPinned() ? "true" : "false");
    text("sourceAppName", item.hasSourceAppName(), item.sourceAppName());
    text("sourceAppBundleId", item.hasSourceAppBundleId(), item.sourceAppBundleId());
    text("extractedText", item.hasExtractedText(), item.extractedText());
    w.key("tags");
    w.stringList(item.tags());
    w.key("isSnippet");
    out.append(item.isSnippet() ? "true" : "false");
    text("snippetTitle", item.hasSnippetTitle(), item.snippetTitle());
    text("snippetShortcut", item.hasSnippetShortcut(), item.snippetShortcut());
    w.finish();
}

std::optional<ClipItem> decodeRecord(JsonReader &reader, QString *error, Interner *interner)
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
    std::optional<QUuid> id;
    std::optional<double> createdAt;
    std::optional<ClipType> type;
    std::optional<bool> isPinned;
    std::optional<bool> isSnippet;
    std::optional<QStringList> tags;
    std::optional<int> width;
    std::optional<int> height;

    auto share = [interner](QString value) { return interner ? interner->intern(std::move(value)) : value; };

    // Reads a string, or null for an optional key; anything else breaks the record.
    auto readText = [&](const char *name, bool optional, bool intern) -> std::optional<QString> {
        const auto kind = reader.peek();
        if (kind == JsonReader::Kind::Null && optional) {
            reader.readNull();
            return std::nullopt;
        }
        if (kind != JsonReader::Kind::String) {
            violate(QStringLiteral("\"%1\" is not a string").arg(QLatin1StringView(name)));
            reader.skipValue();
            return std::nullopt;
        }
        QString value;
        if (!reader.readString(value))
            return std::nullopt;
        return intern ? share(std::move(value)) : value;
    };
    auto readStringArray = [&](const char *name, bool optional, bool intern) -> std::optional<QStringList> {
        const auto kind = reader.peek();
        if (kind == JsonReader::Kind::Null && optional) {
            reader.readNull();
            return std::nullopt;
        }
        if (kind != JsonReader::Kind::Array) {
            violate(QStringLiteral("\"%1\" is not an array of strings").arg(QLatin1StringView(name)));
            reader.skipValue();
            return std::nullopt;
        }
        QStringList list;
        reader.beginArray();
        while (reader.nextElement()) {
            if (reader.peek() != JsonReader::Kind::String) {
                violate(QStringLiteral("\"%1\" is not an array of strings").arg(QLatin1StringView(name)));
                reader.skipValue();
                continue;
            }
            QString value;
            if (reader.readString(value))
                list.append(intern ? share(std::move(value)) : std::move(value));
        }
        return list;
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
        if (kind != JsonReader::Kind::Number || !reader.readNumber(value) || value != std::trunc(value)
            || value < double(std::numeric_limits<int>::min()) || value > double(std::numeric_limits<int>::max())) {
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
            if (const auto text = readText("id", false, false)) {
                id = parseUuid(*text);
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
            if (const auto text = readText("type", false, false)) {
                type = ClipTypes::fromRawValue(*text);
                if (!type)
                    violate(QStringLiteral("\"type\" \"%1\" is not a clip type").arg(*text));
            }
        } else if (key == "textContent") {
            item.setTextContent(readText("textContent", true, false));
        } else if (key == "imageFileName") {
            item.setImageFileName(readText("imageFileName", true, false));
        } else if (key == "imageWidth") {
            width = readInt("imageWidth");
        } else if (key == "imageHeight") {
            height = readInt("imageHeight");
        } else if (key == "colorHex") {
            item.setColorHex(readText("colorHex", true, true));
        } else if (key == "detectedLanguage") {
            item.setDetectedLanguage(readText("detectedLanguage", true, true));
        } else if (key == "filePaths") {
            item.setFilePaths(readStringArray("filePaths", true, false));
        } else if (key == "isPinned") {
            isPinned = readBool("isPinned");
        } else if (key == "sourceAppName") {
            item.setSourceAppName(readText("sourceAppName", true, true));
        } else if (key == "sourceAppBundleId") {
            item.setSourceAppBundleId(readText("sourceAppBundleId", true, true));
        } else if (key == "extractedText") {
            item.setExtractedText(readText("extractedText", true, false));
        } else if (key == "tags") {
            tags = readStringArray("tags", false, true);
        } else if (key == "isSnippet") {
            isSnippet = readBool("isSnippet");
        } else if (key == "snippetTitle") {
            item.setSnippetTitle(readText("snippetTitle", true, false));
        } else if (key == "snippetShortcut") {
            item.setSnippetShortcut(readText("snippetShortcut", true, false));
        } else {
            reader.skipValue();
        }
    }
    if (reader.hasError())
        return std::nullopt;

    const char *missing = !id && problem.isEmpty() ? "id"
        : !createdAt && problem.isEmpty()         ? "createdAt"
        : !type && problem.isEmpty()              ? "type"
        : !isPinned && problem.isEmpty()          ? "isPinned"
        : !tags && problem.isEmpty()              ? "tags"
        : !isSnippet && problem.isEmpty()         ? "isSnippet"
                                                  : nullptr;
    if (missing)
        violate(QStringLiteral("missing \"%1\"").arg(QLatin1StringView(missing)));
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return std::nullopt;
    }

    ClipItem result(*id, *createdAt, *type, *isPinned, std::move(*tags), *isSnippet);
    result.setTextContent(item.hasTextContent() ? std::optional(item.textContent()) : std::nullopt);
    result.setImageFileName(item.hasImageFileName() ? std::optional(item.imageFileName()) : std::nullopt);
    result.setImageSize(width, height);
    result.setColorHex(item.hasColorHex() ? std::optional(item.colorHex()) : std::nullopt);
    result.setDetectedLanguage(item.hasDetectedLanguage() ? std::optional(item.detectedLanguage()) : std::nullopt);
    result.setFilePaths(item.hasFilePaths() ? std::optional(item.filePaths()) : std::nullopt);
    result.setSourceAppName(item.hasSourceAppName() ? std::optional(item.sourceAppName()) : std::nullopt);
    result.setSourceAppBundleId(item.hasSourceAppBundleId() ? std::optional(item.sourceAppBundleId())
                                                            : std::nullopt);
    result.setExtractedText(item.hasExtractedText() ? std::optional(item.extractedText()) : std::nullopt);
    result.setSnippetTitle(item.hasSnippetTitle() ? std::optional(item.snippetTitle()) : std::nullopt);
    result.setSnippetShortcut(item.hasSnippetShortcut() ? std::optional(item.snippetShortcut()) : std::nullopt);
    return result;
}

} // namespace

void appendItem(QByteArray &out, const ClipItem &item)
{
    writeItem(out, item, -1);
}

QByteArray encodeItem(const ClipItem &item)
{
    QByteArray out;
    appendItem(out, item);
    return out;
}

QByteArray encodeHistory(const QList<ClipItem> &items)
{
    QByteArray out;
    qsizetype estimate = 2;
    for (const ClipItem &item : items)
        estimate += 260 + item.textContent().size() + item.extractedText().size();
    out.reserve(estimate);
    out.append('[');
    bool first = true;
    for (const ClipItem &item : items) {
        if (!first)
            out.append(',');
        first = false;
        writeItem(out, item, -1);
    }
    out.append(']');
    return out;
}

QByteArray encodeHistoryPretty(const QList<ClipItem> &items)
{
    if (items.isEmpty())
        return QByteArrayLiteral("[]");
    QByteArray out("[");
    bool first = true;
    for (const ClipItem &item : items) {
        if (!first)
            out.append(',');
        first = false;
        out.append("\n  ");
        writeItem(out, item, 2);
    }
    out.append("\n]");
    return out;
}

std::optional<ClipItem> decodeItem(JsonReader &reader, QString *error)
{
    return decodeRecord(reader, error, nullptr);
}

std::optional<ClipItem> decodeItem(QByteArrayView json, QString *error)
{
    JsonReader reader(json);
    auto item = decodeRecord(reader, error, nullptr);
    if (item && !reader.atEnd()) {
        if (error)
            *error = reader.hasError() ? reader.errorString() : QStringLiteral("trailing data after the record");
        return std::nullopt;
    }
    if (!item && reader.hasError() && error)
        *error = reader.errorString();
    return item;
}

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
    Interner interner;
    // A rough guess avoids regrowing the list many times for a large history.
    result.items.reserve(qMax<qsizetype>(16, data.size() / 600));
    int index = 0;
    while (reader.nextElement()) {
        QString problem;
        if (auto item = decodeRecord(reader, &problem, &interner)) {
            result.items.append(std::move(*item));
        } else if (!reader.hasError()) {
            ++result.skippedRecords;
            if (result.error.isEmpty())
                result.error = QStringLiteral("record %1: %2").arg(index).arg(problem);
        }
        ++index;
    }
    if (reader.hasError()) {
        result.error = reader.errorString();
        return result;
    }
    if (!reader.atEnd()) {
        result.error = QStringLiteral("trailing data after the array");
        return result;
    }
    result.complete = result.skippedRecords == 0;
    return result;
}

std::optional<QUuid> parseUuid(QStringView text)
{
    if (text.size() != 36)
        return std::nullopt;
    for (qsizetype i = 0; i < 36; ++i) {
        const char16_t c = text[i].unicode();
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != u'-')
                return std::nullopt;
        } else if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'))) {
            return std::nullopt;
        }
    }
    const QUuid id = QUuid::fromString(text);
    if (id.isNull() && text != u"00000000-0000-0000-0000-000000000000")
        return std::nullopt;
    return id;
}

} // namespace Vexilo::ClipJson
