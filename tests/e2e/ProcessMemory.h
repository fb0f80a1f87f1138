// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace Vexilo::Test {

// Reads a live process's memory the way an attacker with the user's rights could.
namespace ProcessMemory {

struct Hit
{
    quint64 address = 0;
    QString region; // the line of /proc/PID/maps it lies in
};

// Every place the bytes occur in the process's readable memory. Regions larger than maxRegion (the
// sanitizers' shadow reservations) are skipped.
[[nodiscard]] QList<Hit> find(qint64 pid, const QByteArray &needle, qint64 maxRegion = qint64(1) << 30);
// AddressSanitizer's account of the heap block at address: where it was allocated and, once freed,
// where ("freed by thread ..."). The process must run with ASAN_OPTIONS log_path=logPrefix; the
// account is asked for through gdb. Empty when it cannot be had.
[[nodiscard]] QString describeHeapBlock(qint64 pid, quint64 address, const QString &logPrefix);
// Resident memory in bytes.
[[nodiscard]] qint64 residentBytes(qint64 pid);

} // namespace ProcessMemory
} // namespace Vexilo::Test
