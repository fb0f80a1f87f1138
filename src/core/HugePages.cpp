// SPDX-License-Identifier: MIT
#include "HugePages.h"

#include <QtGlobal>
#include <cstdint>
#include <cstdlib>

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#endif

namespace Vexilo::HugePages {

Block allocate(size_t bytes)
{
#if defined(Q_OS_LINUX)
    // Map one huge page more than asked, then give back the edges so the block starts on a huge page
    // boundary; only aligned ranges can be backed by huge pages.
    const size_t mapped = bytes + size;
    void *memory = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory != MAP_FAILED) {
        const auto start = reinterpret_cast<uintptr_t>(memory);
        const uintptr_t aligned = (start + size - 1) & ~(uintptr_t(size) - 1);
        if (aligned > start)
            munmap(memory, aligned - start);
        const uintptr_t end = start + mapped;
        if (end > aligned + bytes)
            munmap(reinterpret_cast<void *>(aligned + bytes), end - (aligned + bytes));
        madvise(reinterpret_cast<void *>(aligned), bytes, MADV_HUGEPAGE);
        return {reinterpret_cast<void *>(aligned), bytes, true};
    }
#endif
    void *block = std::malloc(bytes);
    if (!block)
        qFatal("Out of memory for %zu bytes", bytes);
    return {block, bytes, false};
}

void release(const Block &block)
{
    if (!block.data)
        return;
#if defined(Q_OS_LINUX)
    if (block.mapped) {
        munmap(block.data, block.bytes);
        return;
    }
#endif
    std::free(block.data);
}

} // namespace Vexilo::HugePages
