// SPDX-License-Identifier: MIT
#include "TextArena.h"

#include <cstdlib>
#include <cstring>

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#endif

namespace Vexilo {

namespace {
constexpr size_t hugePage = size_t(2) << 20;

size_t roundUp(size_t value, size_t step)
{
    return (value + step - 1) / step * step;
}
} // namespace

TextArena::TextArena(qsizetype capacityHint)
    : m_chunkSize(roundUp(size_t(qMax<qsizetype>(capacityHint, 1)), hugePage))
{
}

TextArena::~TextArena()
{
    for (const Chunk &chunk : m_chunks) {
#if defined(Q_OS_LINUX)
        if (chunk.mapped) {
            munmap(chunk.data, chunk.capacity);
            continue;
        }
#endif
        std::free(chunk.data);
    }
}

TextArena::Chunk TextArena::newChunk(size_t minimum)
{
    Chunk chunk;
    chunk.capacity = roundUp(qMax(minimum, m_chunkSize), hugePage);
#if defined(Q_OS_LINUX)
    void *memory = mmap(nullptr, chunk.capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory != MAP_FAILED) {
        // Huge pages where the system offers them; harmless where it does not.
        madvise(memory, chunk.capacity, MADV_HUGEPAGE);
        chunk.data = static_cast<char *>(memory);
        chunk.mapped = true;
        return chunk;
    }
#endif
    chunk.data = static_cast<char *>(std::malloc(chunk.capacity));
    if (!chunk.data)
        qFatal("Out of memory for %zu bytes of clip text", chunk.capacity);
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

const char *TextArena::append(QByteArrayView bytes)
{
    char *target = allocate(bytes.size());
    if (!bytes.isEmpty())
        std::memcpy(target, bytes.data(), size_t(bytes.size()));
    return target;
}

} // namespace Vexilo
