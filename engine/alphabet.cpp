#include "engine/alphabet.h"

#include <numeric>

#include "engine/information.h"

std::uint32_t Alphabet::Total() const
{
    return std::accumulate(weight.begin(), weight.end(), std::uint32_t{0});
}

unsigned Alphabet::Kinds() const
{
    unsigned kinds = 0;
    for (int byte = 0; byte < 256; ++byte) {
        kinds |= weight[static_cast<std::size_t>(byte)] != 0 ? KindBit(static_cast<char>(byte)) : 0;
    }
    return kinds;
}

int Alphabet::Size() const
{
    int size = 0;
    for (const std::uint32_t w : weight) {
        size += w != 0 ? 1 : 0;
    }
    return size;
}

Alphabet DialogAlphabet(const PasswordOptions& options)
{
    Alphabet alphabet;
    alphabet.weight = CandidateWeights(options);
    std::uint32_t divisor = 0;
    for (int byte = 0; byte < 256; ++byte) {
        std::uint32_t& w = alphabet.weight[static_cast<std::size_t>(byte)];
        if (options.excludeSimilar && IsSimilarCharacter(static_cast<char>(byte))) {
            w = 0;
        }
        divisor = std::gcd(divisor, w);
    }
    for (std::uint32_t& w : alphabet.weight) {
        w /= divisor == 0 ? 1 : divisor;
    }
    return alphabet;
}

Alphabet UniformAlphabet(std::string_view characters)
{
    Alphabet alphabet;
    for (const char c : characters) {
        alphabet.weight[static_cast<unsigned char>(c)] = 1;
    }
    return alphabet;
}
