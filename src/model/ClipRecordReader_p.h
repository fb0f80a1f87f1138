// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem_p.h"

#include <QHash>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace Vexilo {

class JsonReader;
class TextArena;

// Repeated short values (application names, languages, tags) share one string across clips, which
// keeps a large history's memory close to its file size. Looked up by their raw bytes, so a repeat
// costs no conversion.
class StringInterner
{
public:
    QString intern(QByteArrayView utf8);

private:
    struct Hash
    {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> m_strings;
};

// Reads one record of the history file straight into a clip, key by key. A value of the wrong kind
// becomes the record's problem and is skipped; a syntax error is left in the JsonReader.
class ClipRecordReader
{
public:
    // Without an arena the clip owns its text; without an interner nothing is shared.
    ClipRecordReader(JsonReader &reader, StringInterner *interner, std::shared_ptr<TextArena> arena);
    // Wipes the text it held on the way.
    ~ClipRecordReader();
    ClipRecordReader(const ClipRecordReader &) = delete;
    ClipRecordReader &operator=(const ClipRecordReader &) = delete;

    // The clip, or nothing with the record's first problem in error (when it broke a rule).
    std::optional<ClipItem> read(QString *error);

private:
    void readField(QByteArrayView key);
    void readTextContent();
    void readText(const char *name, ClipItemData::Field field, QString &target, bool intern, bool searched);
    bool readStringArray(const char *name, bool optional, QStringList &target, bool searched);
    std::optional<bool> readBool(const char *name);
    std::optional<int> readInt(const char *name);
    bool isString(const char *name, bool optional);
    void addSearchField(QByteArrayView raw);
    void noteRepeat(bool seenBefore);
    void violate(const QString &message);
    [[nodiscard]] const char *missingField() const;
    void fillData();
    void placeText();
    void releaseTextInArena();

    JsonReader &m_reader;
    StringInterner *m_interner;
    std::shared_ptr<TextArena> m_arena;
    ClipItem m_item;
    ClipItemData &m_data;
    QString m_problem;
    std::optional<QUuid> m_id;
    std::optional<double> m_createdAt;
    std::optional<ClipType> m_type;
    std::optional<bool> m_isPinned;
    std::optional<bool> m_isSnippet;
    bool m_hasTags = false;
    std::optional<int> m_width;
    std::optional<int> m_height;
    // The text goes to the arena as it is read; the other searched fields follow it there once the
    // record is complete, so that a search reads one run of bytes.
    const char *m_textInArena = nullptr;
    QByteArray m_ownText;
    QByteArray m_fields;
    bool m_repeatedSearchedKey = false;
};

} // namespace Vexilo
