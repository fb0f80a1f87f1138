// SPDX-License-Identifier: MIT
#include "HistoryJournal.h"

#include "ClipJson.h"
#include "JsonReader.h"
#include "MappedFile.h"
#include "SecureMemory.h"
#include "StrictInteger.h"
#include "ThreadHandOff.h"
#include "Uuid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

void apply(Change change, const std::optional<ClipItem> &item, const QList<QUuid> &ids, QList<ClipItem> &items)
{
    if (change == Change::Removed) {
        items.removeIf([&ids](const ClipItem &clip) { return ids.contains(clip.id()); });
    } else if (const qsizetype at = indexOf(items, item->id()); at >= 0) {
        if (change == Change::Updated)
            items[at] = *item;
    } else if (change == Change::Added) {
        items.prepend(*item);
    }
}

} // namespace

QList<quint64> HistoryJournal::fileNumbers(const QString &path)
{
    const QFileInfo info(path);
    const QString prefix = info.fileName() + u'.';
    QList<quint64> numbers;
    const QStringList names = info.dir().entryList({prefix + u'*'}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        if (const std::optional<qint64> number = parseStrictInteger(QStringView(name).sliced(prefix.size()));
            number && *number > 0)
            numbers.append(quint64(*number));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

QString HistoryJournal::fileName(quint64 number) const
{
    return m_path + u'.' + QString::number(number);
}

HistoryJournal::HistoryJournal(const QString &path, LogSink log)
    : m_path(path)
    , m_log(std::move(log))
{
    // Files a previous run left are older than any change of this one.
    const QList<quint64> existing = fileNumbers(m_path);
    if (!existing.isEmpty())
        m_file = existing.last() + 1;
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

void HistoryJournal::recordAdded(const ClipItem &item)
{
    handOver(m_worker);
    QMetaObject::invokeMethod(m_worker, [this, file = m_file, clip = item]() mutable {
        takeOver(m_worker);
        append(file, "{\"add\":", clip, "}\n");
        // Let go of the clip here, not wherever Qt ends up destroying this call.
        clip = ClipItem();
    });
}

void HistoryJournal::recordUpdated(const ClipItem &item)
{
    handOver(m_worker);
    QMetaObject::invokeMethod(m_worker, [this, file = m_file, clip = item]() mutable {
        takeOver(m_worker);
        append(file, "{\"update\":", clip, "}\n");
        clip = ClipItem();
    });
}

void HistoryJournal::recordRemoved(const QList<QUuid> &ids)
{
    QByteArray line("{\"remove\":[");
    for (qsizetype i = 0; i < ids.size(); ++i)
        line += (i ? ",\"" : "\"") + Uuid::toText(ids.at(i)).toLatin1() + '"';
    line += "]}\n";
    handOver(m_worker);
    QMetaObject::invokeMethod(m_worker, [this, file = m_file, line] {
        takeOver(m_worker);
        append(file, line, ClipItem(), {});
    });
}

quint64 HistoryJournal::mark()
{
    return ++m_file;
}

void HistoryJournal::discardBefore(quint64 mark)
{
    handOver(m_worker);
    QMetaObject::invokeMethod(m_worker, [this, mark] {
        takeOver(m_worker);
        deleteBefore(mark);
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

void HistoryJournal::append(quint64 file, const QByteArray &prefix, const ClipItem &item, const QByteArray &suffix)
{
    QByteArray line;
    line.reserve(prefix.size() + (suffix.isEmpty() ? 0 : ClipJson::encodedSizeBound(item) + suffix.size()));
    line.append(prefix);
    if (!suffix.isEmpty()) {
        ClipJson::appendItem(line, item);
        line += suffix;
    }
    const int fd =
        ::open(QFile::encodeName(fileName(file)).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    struct stat info = {};
    const off_t start = fd >= 0 && ::fstat(fd, &info) == 0 ? info.st_size : 0;
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
}

void HistoryJournal::deleteBefore(quint64 file)
{
    for (const quint64 number : fileNumbers(m_path)) {
        if (number < file && !QFile::remove(fileName(number)))
            m_log(QStringLiteral("Vexilo: Failed to delete %1 of the history journal").arg(fileName(number)));
    }
}

HistoryJournal::Replay HistoryJournal::replay(const QString &path, QList<ClipItem> &items)
{
    Replay result;
    for (const quint64 number : fileNumbers(path)) {
        const QString name = path + u'.' + QString::number(number);
        MappedFile file;
        if (!file.open(name)) {
            if (file.errorCode() == ENOENT)
                continue;
            result.unreadable = true;
            result.problem = name + QStringLiteral(": ") + file.errorString();
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
            apply(change, item, ids, items);
        }
    }
    return result;
}

} // namespace Vexilo
