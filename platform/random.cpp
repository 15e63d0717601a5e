#include "platform/random.h"

#include <mutex>
#include <random>

namespace platform {

namespace {

struct Generator
{
    std::mutex mutex;
    std::mt19937 engine{std::random_device{}()};
};

Generator& SharedGenerator()
{
    static Generator generator;
    return generator;
}

} // namespace

int RandomInt(int low, int high)
{
    if (high < low)
        return low;
    Generator& generator = SharedGenerator();
    std::lock_guard<std::mutex> lock(generator.mutex);
    return std::uniform_int_distribution<int>(low, high)(generator.engine);
}

double RandomReal(double low, double high)
{
    if (!(high > low))
        return low;
    Generator& generator = SharedGenerator();
    std::lock_guard<std::mutex> lock(generator.mutex);
    return std::uniform_real_distribution<double>(low, high)(generator.engine);
}

void SeedRandom(std::uint32_t seed)
{
    Generator& generator = SharedGenerator();
    std::lock_guard<std::mutex> lock(generator.mutex);
    generator.engine.seed(seed);
}

} // namespace platform
