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

// Draws of 15 bits taken from the system's cryptographic generator, two bytes
// a draw, fetched many at a time so a password costs no system call.
class SecureRandomSource final : public DrawSource {
private:
    void Fill(std::uint16_t* draws, std::size_t count) override;

    std::array<std::uint8_t, 16384> bytes{};
    std::size_t used = bytes.size();
};
