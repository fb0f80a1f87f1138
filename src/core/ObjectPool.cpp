// SPDX-License-Identifier: MIT
#include "ObjectPool.h"

#include "HugePages.h"

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
    for (const HugePages::Block &chunk : m_chunks)
        HugePages::release(chunk);
}

void *ObjectPool::allocate()
{
    std::lock_guard lock(m_mutex);
    ++m_liveObjects;
    if (m_free) {
        FreeBlock *block = m_free;
        m_free = block->next;
        return block;
    }
    if (m_cursor == nullptr || m_end - m_cursor < std::ptrdiff_t(m_objectSize)) {
        m_chunks.push_back(HugePages::allocate(chunkSize));
        m_cursor = static_cast<char *>(m_chunks.back().data);
        m_end = m_cursor + chunkSize;
    }
    void *block = m_cursor;
    m_cursor += m_objectSize;
    return block;
}

void ObjectPool::release(void *block)
{
    if (!block)
        return;
    std::lock_guard lock(m_mutex);
    if (--m_liveObjects == 0) {
        for (const HugePages::Block &chunk : m_chunks)
            HugePages::release(chunk);
        m_chunks.clear();
        m_free = nullptr;
        m_cursor = m_end = nullptr;
        return;
    }
    auto *free = static_cast<FreeBlock *>(block);
    free->next = m_free;
    m_free = free;
}

size_t ObjectPool::chunkCount()
{
    std::lock_guard lock(m_mutex);
    return m_chunks.size();
}

} // namespace Vexilo
