#include "engine/entropy.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

enum CharacterClass {
    Control,
    Upper,
    Lower,
    Digit,
    SpacePunctuation,
    OtherPunctuation,
    Delete,
    ClassCount
};

// What each class adds to the pool. Control and Delete are fixed weights of
// the estimate, not the number of bytes in those classes.
constexpr int kClassSize[ClassCount] = {60, 26, 26, 10, 16, 17, 112};
constexpr int kLargestPool = 60 + 26 + 26 + 10 + 16 + 17 + 112;

constexpr CharacterClass ClassOf(signed char v)
{
    if (v < 32) {
        return Control; // includes every byte from 0x80 up
    }
    if (v >= 'A' && v <= 'Z') {
        return Upper;
    }
    if (v >= 'a' && v <= 'z') {
        return Lower;
    }
    if (v >= '0' && v <= '9') {
        return Digit;
    }
    if (v <= 0x2F) {
        return SpacePunctuation;
    }
    if (v == 0x7F) {
        return Delete;
    }
    return OtherPunctuation;
}

// Each byte's class as a bit of the set of classes present.
constexpr std::array<std::uint8_t, 256> MakeClassBits()
{
    std::array<std::uint8_t, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        table[byte] = static_cast<std::uint8_t>(1u << ClassOf(static_cast<signed char>(byte)));
    }
    return table;
}

constexpr std::array<std::uint8_t, 256> kClassBit = MakeClassBits();

// Bits per character of every pool size, worked out once with the very
// expression of the estimate, so a lookup gives the identical double.
const std::array<double, kLargestPool + 1>& BitsPerCharacter()
{
    static const std::array<double, kLargestPool + 1> table = [] {
        std::array<double, kLargestPool + 1> bits{};
        for (int pool = 1; pool <= kLargestPool; ++pool) {
            bits[pool] = std::log(static_cast<double>(pool)) / std::log(2.0);
        }
        return bits;
    }();
    return table;
}

// 1/n for the counts a short password can reach, each exactly the double that
// the division gives (a constant expression divides with the same rounding).
constexpr std::array<double, 257> kReciprocals = [] {
    std::array<double, 257> values{};
    for (int n = 1; n <= 256; ++n) {
        values[n] = 1.0 / n;
    }
    return values;
}();

double Reciprocal(unsigned count)
{
    return count <= 256 ? kReciprocals[count] : 1.0 / count;
}

// The pool of every set of classes present.
constexpr std::array<int, 1u << ClassCount> kPoolSize = [] {
    std::array<int, 1u << ClassCount> sizes{};
    for (unsigned classes = 0; classes < sizes.size(); ++classes) {
        for (int c = 0; c < ClassCount; ++c) {
            if (classes & (1u << c)) {
                sizes[classes] += kClassSize[c];
            }
        }
    }
    return sizes;
}();

// Tallies of byte values and of steps between neighbours (-255 to 255). A
// password shorter than 256 bytes cannot count past 255, so its tallies fit
// in bytes and cost a tenth of the clearing. The first byte, which has no
// step, is taken before the loop: its weight is exactly 1.
template <typename Count>
double EffectiveLength(std::string_view password, unsigned& classesPresent)
{
    std::array<Count, 256> characterTally{};
    std::array<Count, 511> stepTally{};
    const auto* const bytes = reinterpret_cast<const unsigned char*>(password.data());
    unsigned classes = kClassBit[bytes[0]];
    characterTally[bytes[0]] = 1;
    int previous = static_cast<signed char>(bytes[0]);
    double effectiveLength = 1.0;
    for (std::size_t i = 1; i < password.size(); ++i) {
        const unsigned char byte = bytes[i];
        const int v = static_cast<signed char>(byte);
        classes |= kClassBit[byte];
        const unsigned stepCount = ++stepTally[static_cast<std::size_t>(v - previous + 255)];
        const unsigned characterCount = ++characterTally[byte];
        effectiveLength += Reciprocal(characterCount) * Reciprocal(stepCount);
        previous = v;
    }
    classesPresent = classes;
    return effectiveLength;
}

} // namespace

int EstimateEntropy(std::string_view password)
{
    if (password.empty()) {
        return 0;
    }
    unsigned classesPresent = 0;
    const double effectiveLength = password.size() < 256
                                       ? EffectiveLength<std::uint8_t>(password, classesPresent)
                                       : EffectiveLength<std::uint32_t>(password, classesPresent);
    const int poolSize = kPoolSize[classesPresent];
    const double bits = BitsPerCharacter()[static_cast<std::size_t>(poolSize)] * effectiveLength;
    // Rounded up as std::ceil would, without a call: bits is positive.
    const int whole = static_cast<int>(bits);
    return whole < bits ? whole + 1 : whole;
}
