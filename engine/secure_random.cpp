#include "engine/secure_random.h"

namespace {

std::uint64_t LoadLittleEndian(const std::uint8_t* bytes, int count)
{
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

} // namespace

void SecureRandomSource::FillGroup(std::uint16_t* draws)
{
    if (bytes.size() - used < kGroupBytes) {
        if (!SystemRandomBytes(bytes.data(), bytes.size())) {
            throw RandomUnavailable();
        }
        used = 0;
    }
    // 120 bits: draws 0 to 3 lie in the low word, draw 4 straddles both.
    const std::uint64_t low = LoadLittleEndian(bytes.data() + used, 8);
    const std::uint64_t high = LoadLittleEndian(bytes.data() + used + 8, 7);
    used += kGroupBytes;
    for (int k = 0; k < 4; ++k) {
        draws[k] = static_cast<std::uint16_t>((low >> (15 * k)) & 0x7FFF);
    }
    draws[4] = static_cast<std::uint16_t>(((low >> 60) | (high << 4)) & 0x7FFF);
    for (int k = 5; k < 8; ++k) {
        draws[k] = static_cast<std::uint16_t>((high >> (15 * k - 64)) & 0x7FFF);
    }
}

void SecureRandomSource::Fill(std::uint16_t* draws, std::size_t count)
{
    std::size_t i = 0;
    for (; i + kGroupDraws <= count; i += kGroupDraws) {
        FillGroup(draws + i);
    }
    if (i < count) {
        std::uint16_t group[kGroupDraws];
        FillGroup(group);
        for (std::size_t k = 0; i < count; ++i, ++k) {
            draws[i] = group[k];
        }
    }
}
