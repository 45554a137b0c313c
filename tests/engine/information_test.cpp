#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "engine/information.h"
#include "engine/password_draw.h"
#include "tests/engine/option_sets.h"

namespace {

// Answers every sequence of draws in turn, as an odometer counts: a Below(n)
// at a depth not reached before adds a wheel at 0 that has n values.
struct EveryDraw final : DrawSource {
    int Below(int bound) override
    {
        if (depth == wheels.size()) {
            wheels.push_back({0, bound});
        }
        return wheels[depth++].first;
    }
    std::vector<std::pair<int, int>> wheels; // value and bound
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
        every.depth = 0;
        const char c = NextCharacter(every, options, "");
        double chance = 1; // under a uniform source
        for (const auto& [value, bound] : every.wheels) {
            chance /= bound;
        }
        chances[c] += chance;
        // Turns the deepest wheel that has values left.
        while (!every.wheels.empty() && ++every.wheels.back().first == every.wheels.back().second) {
            every.wheels.pop_back();
        }
    } while (!every.wheels.empty());
    return chances;
}

// Every password of the given length, with its chance worked out from the
// candidates and the real acceptance rule: a redrawn candidate leaves each
// acceptable one its own chance divided by the acceptable chance in all.
// Checks each figure, and that the chances of all passwords add up to one.
void CheckEveryPassword(const PasswordOptions& options, int length)
{
    const std::map<char, double> candidates = CandidateChances(options);
    const InformationContent information(DialogRule(options));
    double total = 0;
    std::vector<std::pair<std::string, double>> open = {{"", 1.0}};
    while (!open.empty()) {
        const auto [prefix, chance] = open.back();
        open.pop_back();
        if (static_cast<int>(prefix.size()) == length) {
            const double bits = information.Bits(prefix);
            ASSERT_NEAR(bits, -std::log2(chance), 1e-9) << prefix;
            total += std::exp2(-bits);
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
    EXPECT_NEAR(total, 1.0, 1e-9);
}

// Length 3 under every option set; length 7 with digits, where the seventh
// character is the first that may repeat one before it.
TEST(InformationContent, EqualsTheChanceOfEveryPasswordCountedOneByOne)
{
    // Four types by three cases by the two rules on and off.
    for (int set = 0; set < kDialogOptionSets; ++set) {
        PasswordOptions options = DialogOptionSet(set);
        SCOPED_TRACE(set);
        CheckEveryPassword(options, 3);
    }
    PasswordOptions digits;
    digits.characterType = CharacterType::OnlyNumbers;
    CheckEveryPassword(digits, 7);
    // 8 x 7 x 6 equally likely passwords.
    const InformationContent information(DialogRule(digits));
    EXPECT_DOUBLE_EQ(information.Bits("234"), std::log2(336.0));
    EXPECT_TRUE(std::isinf(information.Bits("2G4")));
}

} // namespace
