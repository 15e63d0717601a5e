#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {

namespace {

// Milliseconds since 1970 of the fixed clock; the monotonic counter of the fixed clock starts at 0.
std::atomic<bool> g_fixed{false};
std::atomic<std::int64_t> g_fixedWallMs{0};
std::atomic<std::int64_t> g_fixedMonotonicMs{0};

} // namespace

std::int64_t NowSeconds()
{
    if (g_fixed.load()) {
        // Whole seconds toward the past, also before 1970 (-500 ms is second -1).
        const std::int64_t ms = g_fixedWallMs.load();
        return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    }
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

std::int64_t MonotonicMs()
{
    if (g_fixed.load())
        return g_fixedMonotonicMs.load();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SleepMs(std::int64_t milliseconds)
{
    if (milliseconds <= 0)
        return;
    if (g_fixed.load()) {
        g_fixedWallMs += milliseconds;
        g_fixedMonotonicMs += milliseconds;
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

ScopedClock::ScopedClock(std::int64_t nowSeconds)
{
    g_fixedWallMs = nowSeconds * 1000;
    g_fixedMonotonicMs = 0;
    g_fixed = true;
}

ScopedClock::~ScopedClock()
{
    g_fixed = false;
}

void ScopedClock::SetNow(std::int64_t nowSeconds)
{
    g_fixedWallMs = nowSeconds * 1000;
}

void ScopedClock::AdvanceMs(std::int64_t milliseconds)
{
    g_fixedWallMs += milliseconds;
    g_fixedMonotonicMs += milliseconds;
}

} // namespace platform
