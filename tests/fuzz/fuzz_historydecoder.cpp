// SPDX-License-Identifier: MIT
// The history file reader on arbitrary bytes. Whatever it accepts must come back unchanged through
// the writer, and a record must read the same alone as inside a history.
#include "ClipJson.h"

#include <algorithm>
#include <cstdlib>

using namespace Vexilo;

// The text, then the other searched fields in any order: a search never spans two of them.
static QList<QByteArray> searchFields(const ClipItem &item)
{
    QList<QByteArray> fields = item.searchText().toByteArray().split('\0');
    std::sort(fields.begin() + 1, fields.end());
    return fields;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ClipJson::DecodeResult loaded = ClipJson::decodeHistory(bytes);
    const ClipJson::DecodeResult reloaded = ClipJson::decodeHistory(ClipJson::encodeHistory(loaded.items));
    if (!reloaded.complete || reloaded.items != loaded.items)
        std::abort();
    for (const ClipItem &item : loaded.items) {
        // Records in a history keep their search text in a shared block, single ones their own.
        const std::optional<ClipItem> single = ClipJson::decodeItem(ClipJson::encodeItem(item));
        if (!single || *single != item || searchFields(*single) != searchFields(item))
            std::abort();
    }

    QString error;
    const std::optional<ClipItem> record = ClipJson::decodeItem(bytes, &error);
    if (record.has_value() == !error.isEmpty())
        std::abort();
    if (record && ClipJson::decodeItem(ClipJson::encodeItem(*record)) != record)
        std::abort();
    return 0;
}
