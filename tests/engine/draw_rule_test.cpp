#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/information.h"
#include "engine/password_draw.h"
#include "engine/password_space.h"
#include "engine/rule_walk.h"
#include "tests/engine/bounded_sources.h"

namespace {

// Reproducible bytes for the secure source, within the tests' budget.
RandomBytes SeededBytes(std::uint64_t seed)
{
    return WithinBudget([bits = std::mt19937_64(seed)](void* buffer, std::size_t size) mutable {
        auto* bytes = static_cast<unsigned char*>(buffer);
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<unsigned char>(bits() >> 56);
        }
        return true;
    });
}

// Every string of the length over the alphabet's characters.
std::vector<std::string> EveryString(const Alphabet& alphabet, std::size_t length)
{
    std::string characters;
    for (int byte = 0; byte < 256; ++byte) {
        if (alphabet.weight[static_cast<std::size_t>(byte)] != 0) {
            characters.push_back(static_cast<char>(byte));
        }
    }
    std::vector<std::string> all = {""};
    for (std::size_t position = 0; position < length; ++position) {
        std::vector<std::string> longer;
        for (const std::string& prefix : all) {
            for (const char c : characters) {
                longer.push_back(prefix + c);
            }
        }
        all = std::move(longer);
    }
    return all;
}

std::string Folded(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(FoldCase(c));
    }
    return text;
}

DrawRule EveryKind(DrawRule rule)
{
    rule.RequireEachKind(1);
    return rule;
}

PasswordOptions Hex()
{
    PasswordOptions options;
    options.characterType = CharacterType::HexDigits;
    return options;
}

DrawRule NotFirst(DrawRule rule, std::string_view barred)
{
    for (const char c : barred) {
        rule.notFirst[static_cast<unsigned char>(c)] = true;
    }
    return rule;
}

DrawRule AtLeast(DrawRule rule, CharacterKind kind, int count)
{
    rule.atLeast[static_cast<std::size_t>(kind)] = count;
    return rule;
}

// Characters with weights of their own, as the Windows program's rule has.
DrawRule Weighted(std::string_view characters, std::vector<std::uint32_t> weights, Repeats repeats)
{
    DrawRule rule = CharacterSetRule("", repeats);
    for (std::size_t i = 0; i < characters.size(); ++i) {
        rule.alphabet.weight[static_cast<unsigned char>(characters[i])] = weights[i];
    }
    return rule;
}

struct RuleCase {
    const char* name;
    DrawRule rule;
    std::size_t length;
    bool uniform; // every password that can be drawn equally likely
};

std::vector<RuleCase> RuleCases()
{
    return {
        {"digits and two symbols", CharacterSetRule("0123456789#%", Repeats::NotWithinFive), 3,
         true},
        {"repeats", CharacterSetRule("23456789abcdefXY", Repeats::Allowed), 3, true},
        {"five letters", CharacterSetRule("JLXYZ", Repeats::NotWithinFive), 4, true},
        {"every kind, the dialog's weights", EveryKind(DialogRule(Hex())), 3, false},
        {"every kind, five positions",
         EveryKind(CharacterSetRule("23456789#%", Repeats::NotWithinFive)), 4, false},
        {"every kind, repeats", EveryKind(CharacterSetRule("0123456789#%", Repeats::Allowed)), 3,
         true},
        {"no repeat at all", CharacterSetRule("abcAB12", Repeats::Never), 4, false},
        {"not first", NotFirst(CharacterSetRule("ab-+", Repeats::NotWithinFive), "-"), 3, true},
        {"two digits", AtLeast(CharacterSetRule("ab12", Repeats::Allowed), CharacterKind::Digit, 2),
         4, true},
        {"a capital and a small letter",
         AtLeast(
             AtLeast(CharacterSetRule("abAB1", Repeats::NotWithinFive), CharacterKind::Upper, 1),
             CharacterKind::Lower, 1),
         3, false},
        {"uneven weights, none twice, not first, a digit",
         AtLeast(NotFirst(Weighted("aAbB23-", {2, 1, 3, 1, 5, 1, 2}, Repeats::Never), "-"),
                 CharacterKind::Digit, 1),
         4, false},
        {"all at once",
         NotFirst(AtLeast(EveryKind(CharacterSetRule("aAbB1-", Repeats::Never)),
                          CharacterKind::Symbol, 1),
                  "-"),
         4, false},
    };
}

// For each rule, every password of its length: the chances the information
// figure gives add up to one, the passwords with a chance are as many as the
// space counts (each folded form's variants too), and 300000 draws of the
// secure source on seeded bytes fall on them as those chances say (chi-square
// far below what a wrong weight gives). With every kind, no draw lacks one.
TEST(DrawRule, InformationIsTheChanceOfEveryPasswordAndTheDrawFollowsIt)
{
    for (const RuleCase& c : RuleCases()) {
        SCOPED_TRACE(c.name);
        const InformationContent information(c.rule);
        const PasswordSpace space(c.rule, c.length);
        std::map<std::string, double> chance;
        std::map<std::string, std::uint64_t> variants;
        double total = 0;
        for (const std::string& password : EveryString(c.rule.alphabet, c.length)) {
            const double bits = information.Bits(password);
            variants.try_emplace(Folded(password), 0); // a word that stands for none too
            if (!std::isinf(bits)) {
                chance[password] = std::exp2(-bits);
                total += chance[password];
                ++variants[Folded(password)];
            }
        }
        EXPECT_NEAR(total, 1.0, 1e-9);
        ASSERT_EQ(space.Size(), PasswordCount(chance.size()));
        for (const auto& [word, count] : variants) {
            EXPECT_EQ(space.Variants(word), PasswordCount(count)) << word;
        }
        if (c.uniform) {
            for (const auto& [password, p] : chance) {
                ASSERT_NEAR(p, 1.0 / static_cast<double>(chance.size()), 1e-12) << password;
            }
        }
        constexpr int kDraws = 300000;
        const PasswordDraw draw(c.rule);
        SecureRandomSource random(SeededBytes(18));
        std::map<std::string, int> seen;
        std::string text(c.length, '\0');
        for (int n = 0; n < kDraws; ++n) {
            draw.Draw(random, text.data(), c.length, 1);
            ++seen[text];
        }
        double chiSquare = 0;
        for (const auto& [password, p] : chance) {
            const double expected = kDraws * p;
            chiSquare += (seen[password] - expected) * (seen[password] - expected) / expected;
        }
        EXPECT_EQ(seen.size(), chance.size()) << "drawn: a password without a chance";
        const double freedom = static_cast<double>(chance.size() - 1);
        EXPECT_LT(chiSquare, freedom + 5 * std::sqrt(2 * freedom));
    }
}

// The walk's least information at each length is that of the likeliest
// password counted one by one, and infinite where the rule gives none.
TEST(DrawRule, LeastInformationIsThatOfTheLikeliestPassword)
{
    for (const RuleCase& c : RuleCases()) {
        SCOPED_TRACE(c.name);
        const InformationContent information(c.rule);
        const std::vector<double> walked = LeastInformation(c.rule, 5);
        for (std::size_t length = 1; length <= 4; ++length) {
            double fewest = INFINITY;
            for (const std::string& password : EveryString(c.rule.alphabet, length)) {
                fewest = std::min(fewest, information.Bits(password));
            }
            if (std::isinf(fewest)) {
                EXPECT_TRUE(std::isinf(walked[length])) << length;
            } else {
                EXPECT_NEAR(walked[length], fewest, 1e-9) << length;
            }
        }
    }
}

} // namespace
