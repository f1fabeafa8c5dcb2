#pragma once
// XB_ASSERT(condition): an invariant of the code, not a check of input (bad input gets an
// error of its own). Checked in every build without NDEBUG, the sanitizer build among
// them; a broken invariant prints the condition and where it is, then aborts.

#include <cstdio>
#include <cstdlib>

namespace platform {

[[noreturn]] inline void AssertionFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    std::fflush(stderr);
    std::abort();
}

}  // namespace platform

#ifdef NDEBUG
#define XB_ASSERT(condition) static_cast<void>(sizeof(static_cast<bool>(condition)))
#else
#define XB_ASSERT(condition) \
    (static_cast<bool>(condition) ? static_cast<void>(0) \
                                  : ::platform::AssertionFailed(#condition, __FILE__, __LINE__))
#endif
