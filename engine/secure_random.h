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

// Draws of 15 bits taken from the system's cryptographic generator, fetched a
// block at a time so a password costs no system call per character.
class SecureRandomSource final : public DrawSource {
public:
    int Next() override
    {
        if (used + 2 > buffer.size()) {
            Refill();
        }
        const unsigned low = buffer[used];
        const unsigned high = buffer[used + 1];
        used += 2;
        return static_cast<int>((low | (high << 8)) & 0x7FFF);
    }

private:
    void Refill();

    std::array<std::uint8_t, 4096> buffer{};
    std::size_t used = buffer.size();
};
