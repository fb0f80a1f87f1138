// SPDX-License-Identifier: MIT
#include "HistoryJournal.h"

#include "ClipJson.h"
#include "JsonReader.h"
#include "MappedFile.h"
#include "SecureMemory.h"
#include "ThreadHandOff.h"
#include "Uuid.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Vexilo {

using ThreadHandOff::handOver;
using ThreadHandOff::takeOver;

namespace {

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

enum class Change : quint8 { Added, Updated, Removed, Invalid };

// One line: {"add":RECORD}, {"update":RECORD} or {"remove":["ID",...]}.
Change readLine(QByteArrayView line, std::optional<ClipItem> &item, QList<QUuid> &ids)
{
    JsonReader reader(line);
    QByteArrayView key;
    if (!reader.beginObject() || !reader.nextKey(key))
        return Change::Invalid;
    Change change = Change::Invalid;
    if (key == "add" || key == "update") {
        item = ClipJson::decodeItem(reader);
        change = !item ? Change::Invalid : key == "add" ? Change::Added : Change::Updated;
    } else if (key == "remove" && reader.beginArray()) {
        QByteArrayView raw;
        while (reader.nextElement()) {
            const std::optional<QUuid> id = reader.peek() == JsonReader::Kind::String && reader.readStringView(raw)
                ? Uuid::parse(raw)
                : std::nullopt;
            if (!id)
                return Change::Invalid;
            ids.append(*id);
        }
        change = reader.hasError() ? Change::Invalid : Change::Removed;
    }
    if (change == Change::Invalid || reader.nextKey(key) || reader.hasError() || !reader.atEnd())
        return Change::Invalid;
    return change;
}

qsizetype indexOf(const QList<ClipItem> &items, const QUuid &id)
{
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items.at(i).id() == id)
            return i;
    }
    return -1;
}

} // namespace

HistoryJournal::HistoryJournal(const QString &path, LogSink log)
    : m_path(path)
    , m_log(std::move(log))
{
    // Lines a previous run left count as older than any change of this one.
    struct stat info = {};
    if (::stat(QFile::encodeName(m_path).constData(), &info) == 0 && info.st_size > 0)
        m_lines.append({0, qint64(info.st_size)});
    m_thread.setObjectName(QStringLiteral("com.vexilo.journal"));
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

HistoryJournal::~HistoryJournal()
{
    waitForIdle();
    m_thread.quit();
    m_thread.wait();
}

quint64 HistoryJournal::recordAdded(const ClipItem &item)
{
    const quint64 sequence = ++m_sequence;
    handOver(m_worker);
    QMetaObject::invokeMethod(m_worker, [this, sequence, clip = item]() mutable {
        takeOver(m_worker);
        append(sequence, "{\"add\":", clip, "}\n");
        // Let go of the clip here, not wherever Qt ends up destroying this call.
        clip = ClipItem();
    });
    return sequence;
}

quint64 HistoryJournal::recordUpdated(const ClipItem &item)
{
    const quint64 sequence = ++m_sequence;
    handOver(m_worker);
    QMetaObject::invokeMethod(m_worker, [this, sequence, clip = item]() mutable {
        takeOver(m_worker);
        append(sequence, "{\"update\":", clip, "}\n");
        // Let go of the clip here, not wherever Qt ends up destroying this call.
        clip = ClipItem();
    });
    return sequence;
}

quint64 HistoryJournal::recordRemoved(const QList<QUuid> &ids)
{
    const quint64 sequence = ++m_sequence;
    QByteArray line("{\"remove\":[");
    for (qsizetype i = 0; i < ids.size(); ++i)
        line += (i ? ",\"" : "\"") + Uuid::toText(ids.at(i)).toLatin1() + '"';
    line += "]}\n";
    handOver(m_worker);
    QMetaObject::invokeMethod(m_worker, [this, sequence, line] {
        takeOver(m_worker);
        append(sequence, line, ClipItem(), {});
    });
    return sequence;
}

void HistoryJournal::discardUpTo(quint64 sequence)
{
    handOver(m_worker);
    QMetaObject::invokeMethod(m_worker, [this, sequence] {
        takeOver(m_worker);
        dropLines(sequence);
    });
}

void HistoryJournal::waitForIdle()
{
    if (!m_thread.isRunning())
        return;
    QMetaObject::invokeMethod(
        m_worker, [this] { handOver(this); }, Qt::BlockingQueuedConnection);
    takeOver(this);
}

void HistoryJournal::append(quint64 sequence, const QByteArray &prefix, const ClipItem &item, const QByteArray &suffix)
{
    QByteArray line;
    line.reserve(prefix.size() + (suffix.isEmpty() ? 0 : ClipJson::encodedSizeBound(item) + suffix.size()));
    line.append(prefix);
    if (!suffix.isEmpty()) {
        ClipJson::appendItem(line, item);
        line += suffix;
    }
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    const qint64 start = m_lines.isEmpty() ? 0 : m_lines.constLast().end;
    const qint64 size = line.size();
    const bool written = fd >= 0 && writeAll(fd, line);
    const QString error = written ? QString() : systemError();
    // A line cut short would hide every line after it: the file goes back to its last whole line.
    if (!written && fd >= 0) {
        [[maybe_unused]] const int truncated = ::ftruncate(fd, start);
    }
    if (fd >= 0)
        ::close(fd);
    SecureMemory::wipe(line);
    if (!written) {
        if (!m_failing)
            m_log(QStringLiteral("Vexilo: Failed to write the history journal: ") + error);
        m_failing = true;
        return;
    }
    m_failing = false;
    m_lines.append({sequence, start + size});
}

void HistoryJournal::dropLines(quint64 sequence)
{
    qsizetype kept = 0;
    while (kept < m_lines.size() && m_lines.at(kept).sequence <= sequence)
        ++kept;
    if (kept == 0)
        return;
    const qint64 cut = m_lines.at(kept - 1).end;
    struct stat info = {};
    const bool shorter = ::stat(QFile::encodeName(m_path).constData(), &info) == 0 && info.st_size < cut;
    if (kept == m_lines.size() || shorter) {
        m_lines.clear();
        if (::truncate(QFile::encodeName(m_path).constData(), 0) != 0 && errno != ENOENT)
            m_log(QStringLiteral("Vexilo: Failed to clear the history journal: ") + systemError());
        return;
    }
    // Changes made while the history file was being written stay, alone in a new journal.
    MappedFile file;
    QSaveFile rest(m_path);
    QByteArray tail;
    const bool rewritten = file.open(m_path) && rest.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
        rest.write(tail = file.data().sliced(cut).toByteArray()) == tail.size() && rest.commit();
    SecureMemory::wipe(tail);
    if (!rewritten) {
        m_log(QStringLiteral("Vexilo: Failed to shorten the history journal: ") + rest.errorString());
        return;
    }
    m_lines.remove(0, kept);
    for (Line &line : m_lines)
        line.end -= cut;
}

HistoryJournal::Replay HistoryJournal::replay(const QString &path, QList<ClipItem> &items)
{
    Replay result;
    MappedFile file;
    if (!file.open(path)) {
        if (file.errorCode() != ENOENT) {
            result.unreadable = true;
            result.problem = path + QStringLiteral(": ") + file.errorString();
        }
        return result;
    }
    const QByteArrayView data = file.data();
    for (qsizetype start = 0; start < data.size();) {
        const qsizetype end = data.indexOf('\n', start);
        if (end < 0) {
            result.problem = QStringLiteral("the last change was cut short");
            break;
        }
        std::optional<ClipItem> item;
        QList<QUuid> ids;
        const Change change = readLine(data.sliced(start, end - start), item, ids);
        start = end + 1;
        if (change == Change::Invalid) {
            result.problem = QStringLiteral("change %1 cannot be read").arg(result.changes + 1);
            break;
        }
        ++result.changes;
        if (change == Change::Removed) {
            items.removeIf([&ids](const ClipItem &clip) { return ids.contains(clip.id()); });
        } else if (const qsizetype at = indexOf(items, item->id()); at >= 0) {
            if (change == Change::Updated)
                items[at] = *item;
        } else if (change == Change::Added) {
            items.prepend(*item);
        }
    }
    return result;
}

} // namespace Vexilo
