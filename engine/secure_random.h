#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "engine/random_source.h"

// Raised when the operating system's generator cannot deliver bytes. There is
// no safe fallback: a password from a guessable source is worse than none.
class RandomUnavailable : public std::runtime_error {
public:
    RandomUnavailable() : std::runtime_error("the system's random generator failed") {}
};

// Fills the buffer from the operating system's cryptographic generator.
// Answers false when the generator fails; the buffer is then unusable.
bool SystemRandomBytes(void* buffer, std::size_t size);

// Draws of 15 bits taken from the system's cryptographic generator: the bytes
// are fetched many at a time, so a password costs no system call, and every
// bit of them is used, eight draws from fifteen bytes.
class SecureRandomSource final : public DrawSource {
private:
    static constexpr std::size_t kGroupDraws = 8;
    static constexpr std::size_t kGroupBytes = 15;

    void Fill(std::uint16_t* draws, std::size_t count) override;
    // Eight draws from the next fifteen bytes.
    void FillGroup(std::uint16_t* draws);

    std::array<std::uint8_t, 16384> bytes{};
    std::size_t used = bytes.size();
};
