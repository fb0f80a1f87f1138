// SPDX-License-Identifier: MIT
// Compiled with OpenMP enabled (see CMakeLists.txt); nothing else in the project is.
#include "OpenMPThreadLimit.h"

namespace Vexilo {

void runWithSingleOpenMPThread(const std::function<void()> &work)
{
#ifdef _OPENMP
#pragma omp teams num_teams(1) thread_limit(1)
    work();
#else
    work();
#endif
}

} // namespace Vexilo
