#include "engine/secure_random.h"

#include <utility>

SecureRandomSource::SecureRandomSource(RandomBytes bytes, std::size_t blockBytes)
    : fetch(std::move(bytes)), block(blockBytes > 0 ? blockBytes : 1), position(block.size())
{
}

SecureRandomSource::Bits SecureRandomSource::Refill(Bits unused)
{
    // The block is fetched only when a draw needs it, so a failing source
    // raises its exception inside the draw, where a batch expects it.
    if (position == block.size()) {
        if (!fetch(block.data(), block.size())) {
            throw RandomUnavailable();
        }
        position = 0;
    }
    // A draw takes at most 15 bits and is short of bits here, so the
    // reservoir has room for 48 more.
    const std::uint8_t* const bytes = block.data() + position;
    if (block.size() - position >= 6) {
        std::uint64_t word = 0;
        for (int i = 5; i >= 0; --i) {
            word = (word << 8) | bytes[i];
        }
        unused.reservoir |= word << unused.available;
        unused.available += 48;
        position += 6;
    } else {
        unused.reservoir |= static_cast<std::uint64_t>(bytes[0]) << unused.available;
        unused.available += 8;
        position += 1;
    }
    return unused;
}
