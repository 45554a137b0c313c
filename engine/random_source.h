#pragma once

#include <cstddef>
#include <cstdint>

// Where the engine's random numbers come from: each draw is a number from 0 to
// 32767, the range of the runtime library's rand. The character draws reduce it
// with a plain remainder, so every source must deliver exactly 15 uniform bits.
class DrawSource {
public:
    virtual ~DrawSource() = default;
    virtual int Next() = 0;
};

// The runtime library's linear congruential rule, kept exactly so that a seed
// reproduces the same passwords on any compiler and runtime. Predictable by
// design: batches draw from SecureRandomSource; this one serves reproducible
// runs (tests, benchmarks).
class RandomSource final : public DrawSource {
public:
    static constexpr std::uint32_t kInitialState = 1;

    // srand
    void Seed(std::uint32_t seed) { state = seed; }

    // rand
    int Next() override
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }

private:
    std::uint32_t state = kInitialState;
};

// The calling thread's generator. Every thread starts at state 1, and seeding
// one thread never moves another thread's sequence.
RandomSource& ThreadRandomSource();
