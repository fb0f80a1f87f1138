// SPDX-License-Identifier: MIT
#pragma once

namespace Vexilo::FreedMemory {

// Gives memory the allocator holds free back to the system now, instead of leaving it resident
// until the allocator gets round to it: after a large clip came or went, or a large clear.
void giveBack();

} // namespace Vexilo::FreedMemory
