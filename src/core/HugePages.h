// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace Vexilo::HugePages {

// Large blocks of memory for the history's clips, aligned and advised for transparent huge pages:
// touching 100 MB then takes about fifty page faults instead of twenty-five thousand. Falls back to
// ordinary memory where the system has no such pages.
constexpr size_t size = size_t(2) << 20;

struct Block
{
    void *data = nullptr;
    size_t bytes = 0;
    bool mapped = false; // from mmap, else from malloc: each is given back its own way
};

[[nodiscard]] Block allocate(size_t bytes);
void release(const Block &block);

} // namespace Vexilo::HugePages
