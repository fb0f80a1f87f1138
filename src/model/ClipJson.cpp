// SPDX-License-Identifier: MIT
// Writing clips in the form of the history file.
#include "ClipJson.h"

#include "JsonWriter.h"
#include "SecureMemory.h"

#include <QScopeGuard>

namespace Vexilo::ClipJson {

namespace {

using namespace JsonWriter;

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
    if (item.hasTextContent()) {
        w.key("textContent");
        appendStringUtf8(out, item.textContentUtf8());
    }
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

} // namespace

qsizetype encodedSizeBound(const ClipItem &item)
{
    constexpr qsizetype perCharacter = 6;
    qsizetype bound = 512 + perCharacter * item.textContentUtf8().size();
    for (const QString *text :
         {&item.imageFileName(), &item.colorHex(), &item.detectedLanguage(), &item.sourceAppName(),
          &item.sourceAppBundleId(), &item.extractedText(), &item.snippetTitle(), &item.snippetShortcut()})
        bound += perCharacter * text->size();
    for (const QStringList *list : {&item.filePaths(), &item.tags()}) {
        for (const QString &text : *list)
            bound += 4 + perCharacter * text.size();
    }
    return bound;
}

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
        estimate += 260 + item.textContentUtf8().size() + item.extractedText().size();
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

bool writeHistory(QIODevice &device, const QList<ClipItem> &items)
{
    constexpr qsizetype flushSize = 1 << 20;
    QByteArray buffer;
    // The buffer held clip text: overwritten however the writing ends.
    const auto wipeBuffer = qScopeGuard([&buffer] { SecureMemory::wipe(buffer); });
    buffer.reserve(flushSize * 2);
    buffer.append('[');
    bool first = true;
    for (const ClipItem &item : items) {
        // Room for the whole record first: a buffer that grew under it would leave its text behind.
        const qsizetype bound = encodedSizeBound(item) + 1;
        if (buffer.capacity() - buffer.size() < bound && !buffer.isEmpty()) {
            if (device.write(buffer) != buffer.size())
                return false;
            buffer.resize(0);
        }
        SecureMemory::reserve(buffer, buffer.size() + bound);
        if (!first)
            buffer.append(',');
        first = false;
        writeItem(buffer, item, -1);
        if (buffer.size() >= flushSize) {
            if (device.write(buffer) != buffer.size())
                return false;
            buffer.resize(0);
        }
    }
    buffer.append(']');
    return device.write(buffer) == buffer.size();
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

} // namespace Vexilo::ClipJson
