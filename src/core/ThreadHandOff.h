// SPDX-License-Identifier: MIT
#pragma once

#include <QtCore/qtsan_impl.h>

// Qt's event queues and thread pool order a job handed to another thread after what its sender did
// before, with locks inside Qt. Debian's Qt is not built for ThreadSanitizer, which cannot see them:
// these tell it that order, on a token both sides name, and compile to nothing in other builds.
namespace Vexilo::ThreadHandOff {

inline void handOver([[maybe_unused]] const void *token)
{
#ifdef QT_BUILDING_UNDER_TSAN
    __tsan_release(const_cast<void *>(token));
#endif
}

inline void takeOver([[maybe_unused]] const void *token)
{
#ifdef QT_BUILDING_UNDER_TSAN
    __tsan_acquire(const_cast<void *>(token));
#endif
}

} // namespace Vexilo::ThreadHandOff
