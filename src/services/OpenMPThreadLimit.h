// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace Vexilo {

// Runs work on the calling thread with OpenMP's thread limit at 1 for everything it starts.
//
// The recognition engine parallelises each text line with OpenMP; on a small machine the fork and
// join per line costs far more than it gains (a line takes 4–9 ms on one thread, 40–80 ms with
// OpenMP). Setting OMP_THREAD_LIMIT from inside the process does not help: the runtime reads it once,
// when the library is loaded, before main() runs. A host `teams` region with thread_limit(1) sets the
// same limit for the calling thread only, so several recognitions can still run side by side.
void runWithSingleOpenMPThread(const std::function<void()> &work);

} // namespace Vexilo
