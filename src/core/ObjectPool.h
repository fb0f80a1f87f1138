// SPDX-License-Identifier: MIT
#pragma once

#include "HugePages.h"

#include <cstddef>
#include <mutex>
#include <vector>

namespace Vexilo {

// Fixed-size blocks carved from huge-page chunks, for objects a large history holds by the hundred
// thousand. Blocks are recycled; a chunk goes back to the system once every block of it is free
// again (after the history was cleared, say). Safe to use from any thread.
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
    // Several chunks, three quarters of whose blocks are free: the objects left are better moved to a
    // fresh chunk (startFreshChunk(), then reallocate them), so that the old ones can go.
    [[nodiscard]] bool isSparse();
    void startFreshChunk();

private:
    struct FreeBlock
    {
        FreeBlock *next;
    };
    struct Chunk
    {
        HugePages::Block memory;
        char *cursor = nullptr; // blocks before it were handed out at least once
        FreeBlock *free = nullptr;
        size_t live = 0;
        [[nodiscard]] bool holds(const void *block) const
        {
            const auto *at = static_cast<const char *>(block);
            const auto *start = static_cast<const char *>(memory.data);
            return at >= start && at < start + memory.bytes;
        }
    };
    void *take(Chunk &chunk);

    size_t m_objectSize;
    std::mutex m_mutex;
    std::vector<Chunk> m_chunks;
    size_t m_current = 0; // where the last block came from: the next one likely comes from there too
};

} // namespace Vexilo
