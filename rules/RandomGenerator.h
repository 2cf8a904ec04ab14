// The game's random generator: one value in [0, 1) per call, reseeded from a
// number such as the seconds since midnight.
#pragma once

#include <cstdint>

namespace tintara
{

class RandomGenerator
{
public:
    explicit RandomGenerator(float seed = 0.0F) { Reseed(seed); }

    // Every bit of the seed reaches the state, so different seeds give
    // different sequences.
    void Reseed(float seed);

    // Built from the top 24 bits of one 64-bit step: a multiple of 2^-24
    // below 1, which a float holds exactly, so it never rounds up to 1.0.
    float Next();

private:
    std::uint64_t state_ = 0;
};

} // namespace tintara
