// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

namespace Vexilo {

// Fixed-size blocks carved from huge-page chunks, for objects a large history holds by the hundred
// thousand. Blocks are recycled, never returned to the system. Safe to use from any thread.
class ObjectPool
{
public:
    explicit ObjectPool(size_t objectSize);
    ~ObjectPool();
    ObjectPool(const ObjectPool &) = delete;
    ObjectPool &operator=(const ObjectPool &) = delete;

    [[nodiscard]] void *allocate();
    void release(void *block);

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
    std::vector<char *> m_chunks;
};

} // namespace Vexilo
