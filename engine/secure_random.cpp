#include "engine/secure_random.h"

void SecureRandomSource::Fill(std::uint16_t* draws, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (used + 2 > bytes.size()) {
            if (!SystemRandomBytes(bytes.data(), bytes.size())) {
                throw RandomUnavailable();
            }
            used = 0;
        }
        const unsigned low = bytes[used];
        const unsigned high = bytes[used + 1];
        used += 2;
        draws[i] = static_cast<std::uint16_t>((low | (high << 8)) & 0x7FFF);
    }
}
