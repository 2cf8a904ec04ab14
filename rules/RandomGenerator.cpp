#include "RandomGenerator.h"

#include <cstring>

namespace tintara
{

namespace
{

// SplitMix64: a 64-bit counter pushed through a strong finaliser.
constexpr std::uint64_t Golden = 0x9E3779B97F4A7C15ULL;

constexpr std::uint64_t Mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

} // namespace

void RandomGenerator::Reseed(float seed)
{
    // The seed's bits as they are, copied rather than cast: every bit of the
    // float reaches the state.
    std::uint32_t bits = 0;
    static_assert(sizeof bits == sizeof seed);
    std::memcpy(&bits, &seed, sizeof bits);
    state_ = Mix(bits + Golden);
}

float RandomGenerator::Next()
{
    state_ += Golden;
    const auto top24 = static_cast<std::uint32_t>(Mix(state_) >> 40);
    return static_cast<float>(top24) * 0x1.0p-24F;
}

} // namespace tintara
