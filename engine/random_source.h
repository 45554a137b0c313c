#pragma once

#include <cstdint>

// Where the engine's random choices come from. Every draw asks for "a uniform
// value below bound", so each source can answer in its own way: the seeded
// generator with the runtime library's plain remainder, the secure source
// without bias and with as few random bits as the bound needs.
//
// The program's two sources are final classes whose Below is defined in the
// class: composition runs a loop compiled for each of them, so a draw costs no
// call through the virtual table. Any other source (a test's) is served
// through the table.
class DrawSource {
public:
    static constexpr int kMaxBound = 32768;

    virtual ~DrawSource() = default;

    // A value from 0 to bound - 1, for a bound from 1 to kMaxBound.
    virtual int Below(int bound) = 0;

protected:
    // Copied only as the whole source it is part of.
    DrawSource() = default;
    DrawSource(const DrawSource&) = default;
    DrawSource& operator=(const DrawSource&) = default;
};

// The runtime library's linear congruential rule, kept exactly so that a seed
// reproduces the same passwords on any compiler and runtime: a draw below n is
// rand() % n, one rand call per draw. Predictable by design: batches draw from
// SecureRandomSource; this one serves reproducible runs (tests, benchmarks).
class RandomSource final : public DrawSource {
public:
    static constexpr std::uint32_t kInitialState = 1;

    // srand
    void Seed(std::uint32_t seed) { state = seed; }

    // rand: a number from 0 to 32767.
    int Next()
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }

    int Below(int bound) override { return Next() % bound; }

    // Equal states give equal sequences from there on.
    std::uint32_t State() const { return state; }

private:
    std::uint32_t state = kInitialState;
};

// The calling thread's generator. Every thread starts at state 1, and seeding
// one thread never moves another thread's sequence.
RandomSource& ThreadRandomSource();
