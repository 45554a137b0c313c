#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <vector>

#include "engine/random_source.h"

// Raised when the byte source cannot deliver bytes. There is no safe
// fallback: a password from a guessable source is worse than none.
class RandomUnavailable : public std::runtime_error {
public:
    RandomUnavailable() : std::runtime_error("the system's random generator failed") {}
};

// Fills size bytes at buffer with random bytes, or answers false when it
// cannot (the buffer is then unusable). The program passes the system's
// cryptographic generator; a test can pass bytes of its own choosing.
using RandomBytes = std::function<bool(void* buffer, std::size_t size)>;

// Draws without bias from a byte source. A draw below n takes just enough
// bits to write n - 1 (one for a choice of two, four for ten or sixteen, five
// for twenty-six) and takes fresh bits again while the value is n or more, so
// every value below n is exactly equally likely. Bits are used in the order of
// the bytes, the lowest bit of each byte first, and bits one draw does not
// need wait for the next. Bytes are asked for a block at a time, so a password
// costs no request to the system.
class SecureRandomSource final : public DrawSource {
public:
    static constexpr std::size_t kBlockBytes = 4096;

    // blockBytes is the size of each request to the byte source, at least 1.
    explicit SecureRandomSource(RandomBytes bytes, std::size_t blockBytes = kBlockBytes);
    // A copy would hand out the same bits twice.
    SecureRandomSource(const SecureRandomSource&) = delete;
    SecureRandomSource& operator=(const SecureRandomSource&) = delete;

    // The bits fetched but not yet used, the next one lowest.
    class Bits {
    public:
        int Below(int bound, SecureRandomSource& source)
        {
            const int width = std::bit_width(static_cast<unsigned>(bound - 1));
            for (;;) {
                const int value = static_cast<int>(Take(width, source));
                if (value < bound) {
                    return value;
                }
            }
        }

        // The next width bits (1 to 15) as they come, without a bound: a
        // caller that rejects values of its own takes them this way, and
        // takes exactly the bits Below would.
        unsigned Take(int width, SecureRandomSource& source)
        {
            while (available < width) {
                if (!source.TakeSixBytes(*this)) {
                    *this = source.Refill(*this);
                }
            }
            const auto value = static_cast<unsigned>(reservoir & ((std::uint64_t{1} << width) - 1));
            reservoir >>= width;
            available -= width;
            return value;
        }

    private:
        friend class SecureRandomSource;
        std::uint64_t reservoir = 0;
        int available = 0; // how many bits of reservoir are unused
    };

    // Draws through a copy of the source's unused bits, put back when it
    // ends. A copy that never leaves the caller can stay in registers for a
    // whole password, where the source's own bits would be written back after
    // every draw. Nothing else may draw from the source while it exists.
    class Draws {
    public:
        explicit Draws(SecureRandomSource& from) : source(from), bits(from.bits) {}
        ~Draws() { source.bits = bits; }
        Draws(const Draws&) = delete;
        Draws& operator=(const Draws&) = delete;

        int Below(int bound) { return bits.Below(bound, source); }
        unsigned Take(int width) { return bits.Take(width, source); }

    private:
        SecureRandomSource& source;
        Bits bits;
    };

    int Below(int bound) override { return bits.Below(bound, *this); }

private:
    // Appends the block's next six bytes above the unused bits, when eight
    // remain to be read as one word; the common case of a refill, kept
    // inline. Bytes land in the order the byte-wise refill puts them.
    bool TakeSixBytes(Bits& unused)
    {
        if constexpr (std::endian::native == std::endian::little) {
            if (block.size() - position >= 8) {
                std::uint64_t word;
                std::memcpy(&word, block.data() + position, sizeof word);
                unused.reservoir |= (word & kSixBytes) << unused.available;
                unused.available += 48;
                position += 6;
                return true;
            }
        }
        return false;
    }

    static constexpr std::uint64_t kSixBytes = (std::uint64_t{1} << 48) - 1;

    // The unused bits with the next bytes of the block appended above them,
    // fetching a new block once this one is used up. Throws RandomUnavailable.
    Bits Refill(Bits unused);

    RandomBytes fetch;
    std::vector<std::uint8_t> block;
    std::size_t position; // the first byte of the block not yet taken
    Bits bits;
};
