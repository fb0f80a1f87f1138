// SPDX-License-Identifier: MIT
#include "TextArena.h"

#include "SecureMemory.h"

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
    // Regions still held were released (and wiped) by their owners, who are all gone by now.
    for (const Chunk &chunk : m_chunks)
        HugePages::release(chunk.block);
}

TextArena::Chunk TextArena::newChunk(size_t minimum)
{
    return {HugePages::allocate(roundUp(qMax(minimum, m_chunkSize), hugePage)), 0};
}

char *TextArena::allocate(qsizetype size)
{
    const size_t n = size_t(qMax<qsizetype>(size, 0));
    if (m_chunks.empty() || m_chunks.back().block.bytes - m_chunks.back().used < n)
        m_chunks.push_back(newChunk(n));
    Chunk &chunk = m_chunks.back();
    char *result = static_cast<char *>(chunk.block.data) + chunk.used;
    chunk.used += n;
    m_lastSize = qsizetype(n);
    m_allocatedBytes += qsizetype(n);
    m_liveBytes.fetch_add(qsizetype(n), std::memory_order_relaxed);
    return result;
}

void TextArena::shrinkLast(qsizetype newSize)
{
    if (m_chunks.empty() || newSize > m_lastSize || newSize < 0)
        return;
    const qsizetype cut = m_lastSize - newSize;
    Chunk &chunk = m_chunks.back();
    chunk.used -= size_t(cut);
    SecureMemory::wipe(static_cast<char *>(chunk.block.data) + chunk.used, size_t(cut));
    m_lastSize = newSize;
    m_allocatedBytes -= cut;
    m_liveBytes.fetch_sub(cut, std::memory_order_relaxed);
}

char *TextArena::extendLast(qsizetype size)
{
    if (m_chunks.empty() || size < 0)
        return nullptr;
    Chunk &chunk = m_chunks.back();
    if (chunk.block.bytes - chunk.used < size_t(size))
        return nullptr;
    char *result = static_cast<char *>(chunk.block.data) + chunk.used;
    chunk.used += size_t(size);
    m_lastSize += size;
    m_allocatedBytes += size;
    m_liveBytes.fetch_add(size, std::memory_order_relaxed);
    return result;
}

const char *TextArena::append(QByteArrayView bytes)
{
    char *target = allocate(bytes.size());
    if (!bytes.isEmpty())
        std::memcpy(target, bytes.data(), size_t(bytes.size()));
    return target;
}

void TextArena::release(const char *start, qsizetype size)
{
    if (size <= 0)
        return;
    // The region was handed out writable; only its owner's view of it is const.
    SecureMemory::wipe(const_cast<char *>(start), size_t(size));
    m_liveBytes.fetch_sub(size, std::memory_order_relaxed);
    s_releases.fetch_add(1, std::memory_order_relaxed);
}

bool TextArena::isSparse() const
{
    return liveBytes() * 2 < m_allocatedBytes;
}

} // namespace Vexilo
