// SPDX-License-Identifier: MIT
#include "ProcessMemory.h"

#include <QFile>
#include <QProcess>

#include <fcntl.h>
#include <unistd.h>

namespace Vexilo::Test::ProcessMemory {

QList<Hit> find(qint64 pid, const QByteArray &needle, qint64 maxRegion)
{
    QList<Hit> hits;
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    if (!maps.open(QIODevice::ReadOnly) || needle.isEmpty())
        return hits;
    const int mem = ::open(QByteArray("/proc/" + QByteArray::number(pid) + "/mem").constData(), O_RDONLY);
    if (mem < 0)
        return hits;
    const QList<QByteArray> lines = maps.readAll().split('\n');
    QByteArray chunk;
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2 || !fields.at(1).startsWith('r'))
            continue;
        const QList<QByteArray> range = fields.at(0).split('-');
        const quint64 start = range.value(0).toULongLong(nullptr, 16);
        const quint64 end = range.value(1).toULongLong(nullptr, 16);
        if (end <= start || qint64(end - start) > maxRegion)
            continue;
        // Read in overlapping pieces so a needle across two pieces is still found.
        constexpr quint64 piece = 1 << 20;
        for (quint64 at = start; at < end; at += piece) {
            const quint64 size = std::min<quint64>(piece + quint64(needle.size()), end - at);
            chunk.resize(qsizetype(size));
            const ssize_t got = ::pread(mem, chunk.data(), size, off_t(at));
            if (got <= 0)
                break;
            for (qsizetype i = 0; (i = QByteArrayView(chunk.constData(), got).indexOf(needle, i)) >= 0; ++i) {
                if (quint64(i) < piece || at + piece >= end)
                    hits.append({at + quint64(i), QString::fromLatin1(line)});
            }
        }
    }
    ::close(mem);
    return hits;
}

QString describeHeapBlock(qint64 pid, quint64 address, const QString &logPrefix)
{
    // The sanitizer keeps its log open: only what this call appends is read.
    QFile file(logPrefix + u'.' + QString::number(pid));
    const qint64 before = file.size();
    QProcess gdb;
    gdb.setProcessChannelMode(QProcess::MergedChannels);
    gdb.start(QStringLiteral("gdb"),
              {QStringLiteral("-p"), QString::number(pid), QStringLiteral("-batch"), QStringLiteral("-ex"),
               QStringLiteral("call (void)__asan_describe_address(0x%1)").arg(address, 0, 16)});
    if (!gdb.waitForFinished(60000))
        gdb.kill();
    if (!file.open(QIODevice::ReadOnly) || !file.seek(before))
        return QStringLiteral("(no account: %1)").arg(QString::fromLocal8Bit(gdb.readAll()));
    return QString::fromUtf8(file.readAll());
}

qint64 residentBytes(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

} // namespace Vexilo::Test::ProcessMemory
