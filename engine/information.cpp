#include "engine/information.h"

#include <cmath>
#include <limits>

#include "engine/rule_walk.h"

namespace {

// One in every unit: Below(2) twice, Below(16) and Below(26) and Below(10) all
// divide it, so every candidate chance below is a whole number of units.
constexpr std::uint32_t kWhole = 2 * 2 * 16 * 26 * 10;

using Weights = std::array<std::uint32_t, 256>;

void AddDigits(Weights& weights, std::uint32_t share)
{
    for (char c = '0'; c <= '9'; ++c) {
        weights[static_cast<unsigned char>(c)] += share / 10;
    }
}

// A letter drawn as Letter draws it: in mixed case a choice of two picks the
// case before Below(26) picks the letter.
void AddLetter(Weights& weights, int letter, std::uint32_t share, LetterCase letterCase)
{
    const auto lower = static_cast<unsigned char>('a' + letter);
    const auto upper = static_cast<unsigned char>('A' + letter);
    if (letterCase == LetterCase::LowerCase) {
        weights[lower] += share;
    } else if (letterCase == LetterCase::UpperCase) {
        weights[upper] += share;
    } else {
        weights[lower] += share / 2;
        weights[upper] += share / 2;
    }
}

void AddLetters(Weights& weights, std::uint32_t share, LetterCase letterCase)
{
    for (int letter = 0; letter < 26; ++letter) {
        AddLetter(weights, letter, share / 26, letterCase);
    }
}

} // namespace

// The draw formulas of password_options.cpp read as chances. As there, an
// unknown type draws as letters and numbers, an unknown case as mixed.
Weights CandidateWeights(const PasswordOptions& options)
{
    Weights weights{};
    switch (options.characterType) {
    case CharacterType::OnlyNumbers:
        AddDigits(weights, kWhole);
        return weights;
    case CharacterType::HexDigits:
        // Below(16): ten digits, then six letters in the chosen case.
        AddDigits(weights, kWhole / 16 * 10);
        for (int letter = 0; letter < 6; ++letter) {
            AddLetter(weights, letter, kWhole / 16, options.letterCase);
        }
        return weights;
    case CharacterType::OnlyLetters:
        AddLetters(weights, kWhole, options.letterCase);
        return weights;
    case CharacterType::LettersAndNumbers:
        break;
    }
    // A choice of two between a letter and a digit.
    AddLetters(weights, kWhole / 2, options.letterCase);
    AddDigits(weights, kWhole / 2);
    return weights;
}

namespace {

// The folded bytes of the five-position window; an empty place is the zero
// byte, whose folded weight is 0.
constexpr std::uint64_t kWindow = (std::uint64_t{1} << (8 * DuplicateLookBack)) - 1;

// Past this the running product of odds is taken into the sum of bits, so no
// password of any length overflows it (each factor is at most 104).
constexpr double kLargeOdds = 0x1p900;

} // namespace

InformationContent::InformationContent(const PasswordOptions& options)
    : weight(CandidateWeights(options)), excludeSimilar(options.excludeSimilar),
      excludeDuplicate(options.excludeDuplicate)
{
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        if (weight[byte] != 0 && IsAcceptable(c, RecentCharacters{}, excludeSimilar)) {
            passingWeight += weight[byte];
            foldedWeight[FoldCase(c)] += weight[byte];
        }
    }
}

InformationContent::InformationContent(const DrawRule& rule)
    : weight(rule.alphabet.weight), excludeSimilar(false), excludeDuplicate(rule.excludeDuplicate),
      requiredKinds(rule.RequiredKinds())
{
    for (int byte = 0; byte < 256; ++byte) {
        passingWeight += weight[byte];
        foldedWeight[FoldCase(static_cast<char>(byte))] += weight[byte];
    }
    if (requiredKinds != 0) {
        for (const double chance : EveryKindChances(rule, PasswordOptions::kMaxLength)) {
            everyKindBits.push_back(std::log2(chance));
        }
    }
}

double InformationContent::Bits(std::string_view password) const
{
    double bits = 0;
    if (requiredKinds != 0) {
        unsigned kinds = 0;
        for (const char c : password) {
            kinds |= KindBit(c);
        }
        if ((kinds & requiredKinds) != requiredKinds || password.size() >= everyKindBits.size()) {
            return std::numeric_limits<double>::infinity();
        }
        bits = everyKindBits[password.size()];
    }
    return bits + DrawBits(password);
}

double InformationContent::DrawBits(std::string_view password) const
{
    RecentCharacters recent;
    // The recent characters folded, one a byte, the newest lowest, as
    // RecentCharacters keeps them. Each was accepted against those before it,
    // so no two are the same and each takes its own weight away once: the
    // acceptable weight loses a character's folded weight as it comes and
    // regains it as it leaves the window.
    std::uint64_t window = 0;
    std::uint32_t acceptable = passingWeight;
    double bits = 0;
    double odds = 1; // 1 / the chance of the characters since bits was last taken
    for (const char c : password) {
        const auto byte = static_cast<unsigned char>(c);
        if (weight[byte] == 0 || !IsAcceptable(c, recent, excludeSimilar)) {
            return std::numeric_limits<double>::infinity();
        }
        odds *= static_cast<double>(acceptable) / weight[byte];
        if (odds > kLargeOdds) {
            bits += std::log2(odds);
            odds = 1;
        }
        if (excludeDuplicate) {
            recent.Push(c);
            const unsigned char newest = FoldCase(c);
            acceptable += foldedWeight[(window >> (8 * (DuplicateLookBack - 1))) & 0xFF];
            acceptable -= foldedWeight[newest];
            window = ((window << 8) | newest) & kWindow;
        }
    }
    return bits + std::log2(odds);
}

std::array<std::uint8_t, 256> FoldedClassSizes(const PasswordOptions& options)
{
    const Weights weights = CandidateWeights(options);
    std::array<std::uint8_t, 256> sizes{};
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        if (weights[byte] != 0 && IsAcceptable(c, RecentCharacters{}, options.excludeSimilar)) {
            ++sizes[FoldCase(c)];
        }
    }
    return sizes;
}

double InformationBits(std::string_view password, const PasswordOptions& options)
{
    return InformationContent(options).Bits(password);
}
