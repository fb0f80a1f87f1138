// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

#include <QIODevice>
#include <QList>

namespace Vexilo {
class JsonReader;

// The JSON form of clips: one object per clip whose keys are the field names, absent optionals
// written as no key. The history file is the compact array of these objects.
namespace ClipJson {

void appendItem(QByteArray &out, const ClipItem &item);
// The most bytes appendItem() can add for this clip (each character may become a six-byte escape):
// reserved beforehand, the output never moves and leaves no copy of the text behind.
[[nodiscard]] qsizetype encodedSizeBound(const ClipItem &item);
[[nodiscard]] QByteArray encodeItem(const ClipItem &item);
[[nodiscard]] QByteArray encodeHistory(const QList<ClipItem> &items);
// Writes the same bytes to device in pieces; false when a write fails.
bool writeHistory(QIODevice &device, const QList<ClipItem> &items);
// Indented, one member per line, for exports people read.
[[nodiscard]] QByteArray encodeHistoryPretty(const QList<ClipItem> &items);

struct DecodeResult
{
    QList<ClipItem> items; // every record that decoded, in file order
    bool complete = false; // the whole document decoded, nothing skipped
    bool isArray = false; // the document is (or at least starts as) a JSON array
    int skippedRecords = 0;
    bool syntaxError = false; // decoding stopped early; records after the error are lost

    QString error; // the first problem found, when not complete
};

// Decodes a history file. A record that breaks the rules is skipped and counted, so one bad record
// does not cost the others; a syntax error ends decoding with the records read so far.
[[nodiscard]] DecodeResult decodeHistory(QByteArrayView data);

// Decodes one record at the reader's position. On a rule violation returns nothing, sets error and
// leaves the reader after the record; on a syntax error the reader carries the error.
[[nodiscard]] std::optional<ClipItem> decodeItem(JsonReader &reader, QString *error = nullptr);
[[nodiscard]] std::optional<ClipItem> decodeItem(QByteArrayView json, QString *error = nullptr);

} // namespace ClipJson
} // namespace Vexilo
