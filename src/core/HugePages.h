// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace Vexilo::HugePages {

// Large blocks of memory for the history's clips, aligned and advised for transparent huge pages:
// touching 100 MB then takes about fifty page faults instead of twenty-five thousand. Falls back to
// ordinary memory where the system has no such pages.
constexpr size_t size = size_t(2) << 20;

[[nodiscard]] void *allocate(size_t bytes);
void release(void *block, size_t bytes);

} // namespace Vexilo::HugePages
