// SPDX-License-Identifier: MIT
#pragma once

#include "HugePages.h"

#include <QByteArrayView>
#include <atomic>
#include <vector>

namespace Vexilo {

// One large, append-only block of text bytes for the clips read from a history file. A large
// history's texts then cost a few huge pages instead of a page fault and an allocation per clip.
// Clips keep the arena alive through a shared pointer; bytes never move once written. Each region
// has one owner, who releases it when done: its bytes are wiped at once, and the memory goes back
// to the system with the arena.
class TextArena
{
public:
    explicit TextArena(qsizetype capacityHint);
    ~TextArena();
    TextArena(const TextArena &) = delete;
    TextArena &operator=(const TextArena &) = delete;

    // Room for `size` bytes; the last allocation can be shortened with shrinkLast().
    char *allocate(qsizetype size);
    void shrinkLast(qsizetype newSize);
    const char *append(QByteArrayView bytes);
    // Room for `size` more bytes right after the last allocation, or null when its chunk is full.
    char *extendLast(qsizetype size);

    // Wipes a region its owner no longer needs. Safe from any thread; regions never overlap.
    void release(const char *start, qsizetype size);
    // Bytes handed out and not released.
    [[nodiscard]] qsizetype liveBytes() const { return m_liveBytes.load(std::memory_order_relaxed); }
    // Mostly released: the few clips left are better off with their own copies, so that the arena's
    // memory can go.
    [[nodiscard]] bool isSparse() const;
    // Regions released by all arenas so far: lets an owner tell cheaply whether any became sparse.
    [[nodiscard]] static quint64 releaseCount() { return s_releases.load(std::memory_order_relaxed); }

private:
    struct Chunk
    {
        HugePages::Block block;
        size_t used = 0;
    };
    Chunk newChunk(size_t minimum);

    std::vector<Chunk> m_chunks;
    size_t m_chunkSize;
    qsizetype m_lastSize = 0;
    qsizetype m_allocatedBytes = 0;
    std::atomic<qsizetype> m_liveBytes{0};
    static inline std::atomic<quint64> s_releases{0};
};

} // namespace Vexilo
