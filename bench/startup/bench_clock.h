// Shared by the start-up benchmark's programs: the moments a window was
// shown and its first frame drawn, on the system-wide monotonic clock that
// the harness reads as well.
#pragma once

#include <cstdio>
#include <ctime>

namespace qismar::bench {

inline long long monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1'000'000'000LL + ts.tv_nsec;
}

// The window was shown (mapped, perhaps not painted yet).
inline void reportShown()
{
    std::printf("shown %lld\n", monotonicNs());
    std::fflush(stdout);
}

// The window's first frame was drawn.
inline void reportDrawn()
{
    std::printf("drawn %lld\n", monotonicNs());
    std::fflush(stdout);
}

}  // namespace qismar::bench
