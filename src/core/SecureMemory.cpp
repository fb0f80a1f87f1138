// SPDX-License-Identifier: MIT
#include "SecureMemory.h"

#include <cstring>

namespace Vexilo::SecureMemory {

void wipe(void *data, size_t size)
{
    if (data && size)
        explicit_bzero(data, size);
}

namespace {

// The whole allocation: bytes removed from the front or the back of an array stay in it.
template<typename Array>
void wipeAllocation(Array &array)
{
    if (!array.isDetached())
        return;
    auto &pointer = array.data_ptr();
    auto *start = pointer.data() - pointer.freeSpaceAtBegin();
    wipe(start, size_t(pointer.constAllocatedCapacity()) * sizeof(*start));
}

} // namespace

void wipe(QByteArray &bytes)
{
    wipeAllocation(bytes);
    bytes.clear();
}

void wipe(QString &text)
{
    wipeAllocation(text);
    text.clear();
}

void reserve(QByteArray &bytes, qsizetype capacity)
{
    if (capacity <= bytes.capacity())
        return;
    QByteArray larger;
    larger.reserve(capacity);
    larger.append(bytes);
    wipe(bytes);
    bytes = std::move(larger);
}

} // namespace Vexilo::SecureMemory
