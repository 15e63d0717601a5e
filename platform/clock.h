#pragma once

// The program's one source of the current time: wall-clock seconds since 1970 (UTC) and a monotonic
// millisecond counter for measuring intervals. Tests fix both with ScopedClock.

#include <cstdint>

namespace platform {

std::int64_t NowSeconds();
std::int64_t MonotonicMs();

// Replaces the clock with a fixed one while it lives. Advancing moves both the wall clock and the
// monotonic counter; the real clock returns when the object is destroyed.
class ScopedClock
{
public:
    explicit ScopedClock(std::int64_t nowSeconds);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

    void SetNow(std::int64_t nowSeconds);
    void AdvanceMs(std::int64_t milliseconds);
};

} // namespace platform
