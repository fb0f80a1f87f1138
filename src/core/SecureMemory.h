// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

// Clip text is what users copy, passwords included: memory that held it is overwritten before it is
// given back, so that a clip once gone is gone from the process too.
namespace Vexilo::SecureMemory {

// Overwrites the bytes in a way the compiler may not leave out.
void wipe(void *data, size_t size);
// Overwrites the array's whole allocation when this is its only owner, then empties it. Shared or
// borrowed bytes are left to their other owners, who wipe them when they let go.
void wipe(QByteArray &bytes);
void wipe(QString &text);
// Grows the array's allocation to at least `capacity`, wiping the allocation it leaves; appending
// within that capacity then leaves no copy behind in freed memory.
void reserve(QByteArray &bytes, qsizetype capacity);

} // namespace Vexilo::SecureMemory
