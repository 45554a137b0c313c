#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Where the engine's random numbers come from: each draw is a number from 0 to
// 32767, the range of the runtime library's rand. The character draws reduce it
// with a plain remainder, so every source must deliver exactly 15 uniform bits.
//
// Draws are made a block at a time into a small buffer, so taking one costs
// no call through the source's virtual table; a password takes about fifty.
class DrawSource {
public:
    virtual ~DrawSource() = default;

    int Next()
    {
        if (position == kBlock) {
            Fill(block.data(), kBlock);
            position = 0;
        }
        return block[position++];
    }

protected:
    static constexpr std::size_t kBlock = 64;

    // Makes the next count draws, in order.
    virtual void Fill(std::uint16_t* draws, std::size_t count) = 0;
    // Forgets the draws made ahead, after the source's state changed.
    void Discard() { position = kBlock; }

private:
    std::array<std::uint16_t, kBlock> block{};
    std::size_t position = kBlock;
};

// The runtime library's linear congruential rule, kept exactly so that a seed
// reproduces the same passwords on any compiler and runtime. Predictable by
// design: batches draw from SecureRandomSource; this one serves reproducible
// runs (tests, benchmarks).
class RandomSource final : public DrawSource {
public:
    static constexpr std::uint32_t kInitialState = 1;

    // srand
    void Seed(std::uint32_t seed)
    {
        state = seed;
        Discard();
    }

private:
    // rand, count times
    void Fill(std::uint16_t* draws, std::size_t count) override
    {
        for (std::size_t i = 0; i < count; ++i) {
            state = state * 214013u + 2531011u;
            draws[i] = static_cast<std::uint16_t>((state >> 16) & 0x7FFF);
        }
    }

    std::uint32_t state = kInitialState;
};

// The calling thread's generator. Every thread starts at state 1, and seeding
// one thread never moves another thread's sequence.
RandomSource& ThreadRandomSource();
