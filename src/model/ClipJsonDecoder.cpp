// SPDX-License-Identifier: MIT
// Reading clips and whole history files, fast enough for a history of 100,000 clips.
#include "ClipJson.h"

#include "ClipRecordReader_p.h"
#include "JsonReader.h"
#include "TextArena.h"

#include <atomic>
#include <thread>

namespace Vexilo {

namespace ClipJson {

namespace {

std::optional<ClipItem> decodeRecord(JsonReader &reader, QString *error, StringInterner *interner,
                                     const std::shared_ptr<TextArena> &arena)
{
    return ClipRecordReader(reader, interner, arena).read(error);
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
    StringInterner interner;
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
