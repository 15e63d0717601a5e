#pragma once

// The program's random source (cloud variation, gusts, tips). Seed it in tests for repeatable runs.

#include <cstdint>

namespace platform {

// A uniformly distributed integer in [low, high]; low when high < low.
int RandomInt(int low, int high);
// A uniformly distributed real number in [low, high).
double RandomReal(double low, double high);
void SeedRandom(std::uint32_t seed);

} // namespace platform
