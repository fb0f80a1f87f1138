// SPDX-License-Identifier: MIT
#include "ObjectPool.h"

#include <QtGlobal>

namespace Vexilo {

namespace {
constexpr size_t chunkSize = HugePages::size * 4;
}

ObjectPool::ObjectPool(size_t objectSize)
    : m_objectSize((qMax(objectSize, sizeof(FreeBlock)) + 15) / 16 * 16)
{ }

ObjectPool::~ObjectPool()
{
    for (const Chunk &chunk : m_chunks)
        HugePages::release(chunk.memory);
}

void *ObjectPool::take(Chunk &chunk)
{
    ++chunk.live;
    if (FreeBlock *block = chunk.free) {
        chunk.free = block->next;
        return block;
    }
    void *block = chunk.cursor;
    chunk.cursor += m_objectSize;
    return block;
}

void *ObjectPool::allocate()
{
    std::lock_guard lock(m_mutex);
    // A history has a handful of chunks at most: looking through them is cheap.
    for (size_t tried = 0; tried < m_chunks.size(); ++tried) {
        Chunk &chunk = m_chunks[m_current];
        const auto *end = static_cast<const char *>(chunk.memory.data) + chunk.memory.bytes;
        if (chunk.free || end - chunk.cursor >= std::ptrdiff_t(m_objectSize))
            return take(chunk);
        m_current = (m_current + 1) % m_chunks.size();
    }
    Chunk chunk;
    chunk.memory = HugePages::allocate(chunkSize);
    chunk.cursor = static_cast<char *>(chunk.memory.data);
    m_chunks.push_back(chunk);
    m_current = m_chunks.size() - 1;
    return take(m_chunks.back());
}

void ObjectPool::release(void *block)
{
    if (!block)
        return;
    std::lock_guard lock(m_mutex);
    for (size_t i = 0; i < m_chunks.size(); ++i) {
        Chunk &chunk = m_chunks[i];
        if (!chunk.holds(block))
            continue;
        if (--chunk.live == 0) {
            HugePages::release(chunk.memory);
            m_chunks.erase(m_chunks.begin() + qsizetype(i));
            // Allocation carries on where it was, the newest chunk if that one went.
            if (i < m_current)
                --m_current;
            else if (i == m_current)
                m_current = m_chunks.empty() ? 0 : m_chunks.size() - 1;
            return;
        }
        auto *free = static_cast<FreeBlock *>(block);
        free->next = chunk.free;
        chunk.free = free;
        return;
    }
    Q_ASSERT_X(false, "ObjectPool::release", "a block that is not the pool's");
}

bool ObjectPool::isSparse()
{
    std::lock_guard lock(m_mutex);
    size_t live = 0;
    for (const Chunk &chunk : m_chunks)
        live += chunk.live;
    return m_chunks.size() > 1 && live * 4 < m_chunks.size() * (chunkSize / m_objectSize);
}

void ObjectPool::startFreshChunk()
{
    std::lock_guard lock(m_mutex);
    Chunk chunk;
    chunk.memory = HugePages::allocate(chunkSize);
    chunk.cursor = static_cast<char *>(chunk.memory.data);
    m_chunks.push_back(chunk);
    m_current = m_chunks.size() - 1;
}

size_t ObjectPool::chunkCount()
{
    std::lock_guard lock(m_mutex);
    return m_chunks.size();
}

} // namespace Vexilo
