// SPDX-License-Identifier: MIT
// Linked into the test executables in ThreadSanitizer builds only. Qt 6.4 starts processes with
// clone(CLONE_VM | CLONE_VFORK); ThreadSanitizer's clone interceptor then runs its fork bookkeeping
// in the child, which shares the parent's memory, and the parent's starting thread is no longer
// checked. The child only execs, so the plain clone needs no bookkeeping.
#include <dlfcn.h>
#include <sched.h>
#include <sys/types.h>

#include <cstdarg>

using CloneFunction = int (*)(int (*)(void *), void *, int, void *, ...);

extern "C" int clone(int (*fn)(void *), void *stack, int flags, void *arg, ...)
{
    va_list rest;
    va_start(rest, arg);
    auto *parentTid = va_arg(rest, pid_t *);
    void *tls = va_arg(rest, void *);
    auto *childTid = va_arg(rest, pid_t *);
    va_end(rest);
    static const auto libcClone =
        reinterpret_cast<CloneFunction>(dlvsym(dlopen("libc.so.6", RTLD_LAZY | RTLD_NOLOAD), "clone", "GLIBC_2.2.5"));
    static const auto interceptedClone = reinterpret_cast<CloneFunction>(dlsym(RTLD_NEXT, "clone"));
    return ((flags & CLONE_VM) ? libcClone : interceptedClone)(fn, stack, flags, arg, parentTid, tls, childTid);
}
