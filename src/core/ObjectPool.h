// SPDX-License-Identifier: MIT
#pragma once

#include "HugePages.h"

#include <cstddef>
#include <mutex>
#include <vector>

namespace Vexilo {

// Fixed-size blocks carved from huge-page chunks, for objects a large history holds by the hundred
// thousand. Blocks are recycled; the chunks go back to the system once every block is free again
// (after the history was cleared, say). Safe to use from any thread.
class ObjectPool
{
public:
    explicit ObjectPool(size_t objectSize);
    ~ObjectPool();
    ObjectPool(const ObjectPool &) = delete;
    ObjectPool &operator=(const ObjectPool &) = delete;

    [[nodiscard]] void *allocate();
    void release(void *block);
    [[nodiscard]] size_t chunkCount();

private:
    struct FreeBlock
    {
        FreeBlock *next;
    };

    size_t m_objectSize;
    std::mutex m_mutex;
    FreeBlock *m_free = nullptr;
    char *m_cursor = nullptr;
    char *m_end = nullptr;
    size_t m_liveObjects = 0;
    std::vector<HugePages::Block> m_chunks;
};

} // namespace Vexilo
