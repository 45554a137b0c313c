#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/composer.h"
#include "engine/information.h"
#include "engine/secure_random.h"

namespace {

// Walks every sequence of draws one after another, as an odometer does: each
// Below(n) at a depth not reached before starts at 0, and Advance turns the
// deepest wheel that has values left. Chance() is the chance of the current
// sequence under a uniform source.
class EveryDraw final : public DrawSource {
public:
    int Below(int bound) override
    {
        if (depth == wheels.size()) {
            wheels.push_back({0, bound});
        }
        return wheels[depth++].value;
    }
    double Chance() const
    {
        double chance = 1;
        for (const Wheel& wheel : wheels) {
            chance /= wheel.bound;
        }
        return chance;
    }
    bool Advance()
    {
        depth = 0;
        while (!wheels.empty() && ++wheels.back().value == wheels.back().bound) {
            wheels.pop_back();
        }
        return !wheels.empty();
    }

private:
    struct Wheel {
        int value;
        int bound;
    };
    std::vector<Wheel> wheels;
    std::size_t depth = 0;
};

// The chance of each candidate, found by running the real draw over every
// sequence of draws with both rules off, so that no candidate is redrawn.
std::map<char, double> CandidateChances(PasswordOptions options)
{
    options.excludeSimilar = false;
    options.excludeDuplicate = false;
    std::map<char, double> chances;
    EveryDraw every;
    do {
        const char c = NextCharacter(every, options, ""); // draws before Chance() reads
        chances[c] += every.Chance();
    } while (every.Advance());
    return chances;
}

// Every password of the given length, with its chance worked out from the
// candidates and the real acceptance rule: a redrawn candidate leaves each
// acceptable one its own chance divided by the acceptable chance in all.
// Checks each figure, and that the chances of all passwords add up to one.
void CheckEveryPassword(const PasswordOptions& options, int length)
{
    const std::map<char, double> candidates = CandidateChances(options);
    const InformationContent information(options);
    double total = 0;
    int checked = 0;
    std::vector<std::pair<std::string, double>> open = {{"", 1.0}};
    while (!open.empty()) {
        const auto [prefix, chance] = open.back();
        open.pop_back();
        if (static_cast<int>(prefix.size()) == length) {
            const double bits = information.Bits(prefix);
            ASSERT_NEAR(bits, -std::log2(chance), 1e-9) << prefix;
            total += std::exp2(-bits);
            ++checked;
            continue;
        }
        double acceptable = 0;
        for (const auto& [c, p] : candidates) {
            acceptable += IsAcceptable(c, prefix, options) ? p : 0;
        }
        for (const auto& [c, p] : candidates) {
            if (IsAcceptable(c, prefix, options)) {
                open.push_back({prefix + c, chance * p / acceptable});
            } else {
                ASSERT_TRUE(std::isinf(information.Bits(prefix + c))) << prefix + c;
            }
        }
    }
    EXPECT_NEAR(total, 1.0, 1e-9) << checked << " passwords";
}

// Length 3 under every option set; length 7 with digits, where the seventh
// character is the first that may repeat one before it.
TEST(InformationContent, EqualsTheChanceOfEveryPasswordCountedOneByOne)
{
    for (const auto type : {CharacterType::OnlyNumbers, CharacterType::HexDigits,
                            CharacterType::OnlyLetters, CharacterType::LettersAndNumbers}) {
        for (const auto letterCase :
             {LetterCase::LowerCase, LetterCase::UpperCase, LetterCase::MixCase}) {
            for (const int rules : {0, 1, 2, 3}) {
                PasswordOptions options;
                options.characterType = type;
                options.letterCase = letterCase;
                options.excludeSimilar = (rules & 1) != 0;
                options.excludeDuplicate = (rules & 2) != 0;
                SCOPED_TRACE(testing::Message() << static_cast<int>(type) << "/"
                                                << static_cast<int>(letterCase) << "/" << rules);
                CheckEveryPassword(options, 3);
            }
        }
    }
    PasswordOptions digits;
    digits.characterType = CharacterType::OnlyNumbers;
    CheckEveryPassword(digits, 7);
    // 8 x 7 x 6 equally likely passwords.
    EXPECT_DOUBLE_EQ(InformationBits("234", digits), std::log2(336.0));
    EXPECT_TRUE(std::isinf(InformationBits("2G4", digits)));
}

// The figure against what the secure source really draws: hex digits in
// mixed case (a digit twice as likely as each letter) under both rules,
// from a fixed byte sequence, counted per password.
TEST(InformationContent, MatchesTheFrequenciesTheSecureSourceDraws)
{
    PasswordOptions options;
    options.characterType = CharacterType::HexDigits;
    options.length = 3;
    std::mt19937_64 bytes(20240601);
    SecureRandomSource random([&](void* buffer, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            static_cast<unsigned char*>(buffer)[i] = static_cast<unsigned char>(bytes());
        }
        return true;
    });
    constexpr int kSamples = 600000;
    std::unordered_map<std::string, int> observed;
    for (int i = 0; i < kSamples; ++i) {
        ++observed[BuildPassword(random, options)];
    }
    const InformationContent information(options);
    double chiSquare = 0;
    double total = 0;
    for (const auto& [password, count] : observed) {
        const double expected = kSamples * std::exp2(-information.Bits(password));
        chiSquare += (count - expected) * (count - expected) / expected;
        total += expected;
    }
    // Every password was seen (none is rarer than about 1 in 12,000), so the
    // expected counts add up to all samples; a figure that treated every
    // character alike puts the chi-square in the tens of thousands.
    EXPECT_NEAR(total, kSamples, 1e-6 * kSamples);
    const double freedom = static_cast<double>(observed.size()) - 1;
    EXPECT_LT(chiSquare, freedom + 6 * std::sqrt(2 * freedom)) << observed.size() << " passwords";
}

} // namespace
