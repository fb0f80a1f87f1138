// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <vector>

namespace Vexilo {

// One large, append-only block of text bytes for the clips read from a history file. A large
// history's texts then cost a few huge pages instead of a page fault and an allocation per clip.
// Clips keep the arena alive through a shared pointer; bytes never move once written.
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

private:
    struct Chunk
    {
        char *data = nullptr;
        size_t capacity = 0;
        size_t used = 0;
    };
    Chunk newChunk(size_t minimum);

    std::vector<Chunk> m_chunks;
    size_t m_chunkSize;
    qsizetype m_lastSize = 0;
};

} // namespace Vexilo
