#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The MD5 message digest (RFC 1321). Used only to mix the seed material; it
// has no security role here.
class Md5 {
public:
    using Digest = std::array<std::uint8_t, 16>;

    void Update(const void* data, std::size_t size);
    Digest Finish();

private:
    void Transform(const std::uint8_t block[64]);

    std::uint32_t state[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
    std::uint64_t byteCount = 0;
    std::uint8_t pending[64] = {};
};
