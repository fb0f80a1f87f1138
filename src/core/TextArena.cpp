// SPDX-License-Identifier: MIT
#include "TextArena.h"

#include "HugePages.h"

#include <cstring>

namespace Vexilo {

namespace {
constexpr size_t hugePage = HugePages::size;

size_t roundUp(size_t value, size_t step)
{
    return (value + step - 1) / step * step;
}
} // namespace

TextArena::TextArena(qsizetype capacityHint)
    : m_chunkSize(roundUp(size_t(qMax<qsizetype>(capacityHint, 1)), hugePage))
{ }

TextArena::~TextArena()
{
    for (const Chunk &chunk : m_chunks)
        HugePages::release(chunk.data, chunk.capacity);
}

TextArena::Chunk TextArena::newChunk(size_t minimum)
{
    Chunk chunk;
    chunk.capacity = roundUp(qMax(minimum, m_chunkSize), hugePage);
    chunk.data = static_cast<char *>(HugePages::allocate(chunk.capacity));
    return chunk;
}

char *TextArena::allocate(qsizetype size)
{
    const size_t n = size_t(qMax<qsizetype>(size, 0));
    if (m_chunks.empty() || m_chunks.back().capacity - m_chunks.back().used < n)
        m_chunks.push_back(newChunk(n));
    Chunk &chunk = m_chunks.back();
    char *result = chunk.data + chunk.used;
    chunk.used += n;
    m_lastSize = size;
    return result;
}

void TextArena::shrinkLast(qsizetype newSize)
{
    if (m_chunks.empty() || newSize > m_lastSize || newSize < 0)
        return;
    m_chunks.back().used -= size_t(m_lastSize - newSize);
    m_lastSize = newSize;
}

char *TextArena::extendLast(qsizetype size)
{
    if (m_chunks.empty() || size < 0)
        return nullptr;
    Chunk &chunk = m_chunks.back();
    if (chunk.capacity - chunk.used < size_t(size))
        return nullptr;
    char *result = chunk.data + chunk.used;
    chunk.used += size_t(size);
    m_lastSize += size;
    return result;
}

const char *TextArena::append(QByteArrayView bytes)
{
    char *target = allocate(bytes.size());
    if (!bytes.isEmpty())
        std::memcpy(target, bytes.data(), size_t(bytes.size()));
    return target;
}

} // namespace Vexilo
