#include "engine/entropy.h"

#include <array>
#include <cmath>

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

CharacterClass ClassOf(signed char v)
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

} // namespace

int EstimateEntropy(std::string_view password)
{
    if (password.empty()) {
        return 0;
    }
    std::array<bool, ClassCount> present{};
    std::array<int, 256> characterTally{};
    std::array<int, 511> stepTally{}; // differences -255 to 255
    double effectiveLength = 0.0;
    int previous = 0;
    for (std::size_t i = 0; i < password.size(); ++i) {
        const auto v = static_cast<signed char>(password[i]);
        present[ClassOf(v)] = true;
        double stepWeight = 1.0;
        if (i > 0) {
            stepWeight = 1.0 / ++stepTally[v - previous + 255];
        }
        const double characterWeight = 1.0 / ++characterTally[static_cast<unsigned char>(v)];
        effectiveLength += characterWeight * stepWeight;
        previous = v;
    }
    int poolSize = 0;
    for (int c = 0; c < ClassCount; ++c) {
        if (present[c]) {
            poolSize += kClassSize[c];
        }
    }
    if (poolSize == 0) {
        return 0;
    }
    const double bitsPerCharacter = std::log(static_cast<double>(poolSize)) / std::log(2.0);
    const double bits = bitsPerCharacter * effectiveLength;
    return static_cast<int>(std::ceil(bits));
}
