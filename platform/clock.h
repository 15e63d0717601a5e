#pragma once

// The program's one source of the current time: wall-clock seconds since 1970 (UTC) and a monotonic
// millisecond counter for measuring intervals. Tests fix both with ScopedClock.

#include <cstdint>

namespace platform {

std::int64_t NowSeconds();
std::int64_t MonotonicMs();
// Pauses the calling thread. Under a ScopedClock the pause only advances the fixed clock and returns at
// once, so code that waits (retries, polling) runs in no real time in tests.
void SleepMs(std::int64_t milliseconds);

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
