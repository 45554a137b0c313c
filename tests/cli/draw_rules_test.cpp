#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "cli/character_draw.h"
#include "cli/run_plan.h"
#include "cli/word_list.h"
#include "engine/information.h"
#include "engine/password_space.h"
#include "engine/secure_random.h"
#include "engine/rule_walk.h"
#include "tests/engine/bounded_sources.h"
#include "tests/engine/option_sets.h"

namespace {

RunPlan Plan(std::vector<std::string_view> arguments)
{
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    RunPlan plan;
    const std::string problem = PlanRun(parsed.request, plan);
    EXPECT_EQ(parsed.error + problem, "");
    return plan;
}

// The secure source's draw on bytes of a fixed seed, so the test is the same
// every run; within the tests' budget, so a draw that never ends fails.
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

// For each rule, every password of its length: the chances the information
// figure gives add up to one, the passwords with a chance are as many as the
// space counts (each folded form's variants too), and 300000 draws of the
// secure source on seeded bytes fall on them as those chances say (chi-square far below
// what a wrong weight gives). With every kind, no draw lacks one.
TEST(DrawRules, InformationIsTheChanceOfEveryPasswordAndTheDrawFollowsIt)
{
    const struct {
        const char* name;
        std::vector<std::string_view> arguments;
        bool uniform; // every password that can be drawn equally likely
    } kCases[] = {
        {"symbols", {"-tdigits", "--symbols=#%", "--allow-similar", "-l3"}, true},
        {"include", {"-thex", "-clower", "--include=XY", "--allow-repeats", "-l3"}, true},
        {"exclude", {"-tletters", "-cupper", "--exclude=ABCDEFGHKMNPQRSTUVW", "-l4"}, true},
        {"every kind, the dialog's weights", {"-thex", "--every-kind", "-l3"}, false},
        {"every kind, five positions", {"-tdigits", "--symbols=#%", "--every-kind", "-l4"}, false},
        {"every kind, repeats",
         {"-tdigits", "--symbols=#%", "--every-kind", "--allow-repeats", "--allow-similar", "-l3"},
         true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const RunPlan plan = Plan(c.arguments);
        const auto length = static_cast<std::size_t>(plan.options.length);
        const InformationContent information(plan.rule);
        const PasswordSpace space(plan.rule, length);
        std::map<std::string, double> chance;
        std::map<std::string, std::uint64_t> variants;
        double total = 0;
        for (const std::string& password : EveryString(plan.rule.alphabet, length)) {
            const double bits = information.Bits(password);
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
        const CharacterDraw draw(plan);
        SecureRandomSource random(SeededBytes(18));
        std::map<std::string, int> seen;
        std::string text(length, '\0');
        for (int n = 0; n < kDraws; ++n) {
            draw.Draw(random, text.data(), length, 1);
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

double ChiSquare(const std::map<std::string, int>& seen, std::size_t cells, int draws)
{
    const double expected = static_cast<double>(draws) / static_cast<double>(cells);
    double sum = static_cast<double>(cells - seen.size()) * expected;
    for (const auto& [cell, count] : seen) {
        sum += (count - expected) * (count - expected) / expected;
    }
    return sum;
}

// A passphrase is words drawn alike from the list's distinct words (a BOM,
// CRs, blanks, repeats and a word holding the separator left out): each of
// the 5 x 5 passphrases reads differently, the figure gives each 1/25, and
// 300000 draws fall alike on them. Places past one 15-bit draw are alike too.
TEST(DrawRules, PassphrasesAreWordsDrawnAlike)
{
    const auto list = std::filesystem::temp_directory_path() / "sorvane-passphrase-words";
    std::ofstream(list, std::ios::binary)
        << "\xEF\xBB\xBFred\r\n\ngreen\n blue \nred\nsky-blue\nnavy\nteal";
    PassphraseRule rule;
    EXPECT_EQ(LoadPassphraseWords(list.string(), "-", false, rule.words), "");
    std::filesystem::remove(list);
    EXPECT_EQ(rule.words, (std::vector<std::string>{"red", "green", "blue", "navy", "teal"}));
    rule.count = 2;
    rule.separator = "-";
    EXPECT_EQ(rule.Size(), PasswordCount(25));
    EXPECT_NEAR(25 * std::exp2(-rule.Bits()), 1.0, 1e-12);
    constexpr int kDraws = 300000;
    SecureRandomSource random(SeededBytes(5));
    std::map<std::string, int> seen;
    std::map<std::string, int> places;
    std::string text;
    for (int n = 0; n < kDraws; ++n) {
        const std::uint32_t pair[2] = {DrawPlace(random, 5), DrawPlace(random, 5)};
        rule.Compose(pair, text);
        ++seen[text];
        ++places[std::to_string(DrawPlace(random, 40000) / 5000)];
    }
    EXPECT_EQ(seen.size(), 25u);
    EXPECT_LT(ChiSquare(seen, 25, kDraws), 24 + 5 * std::sqrt(48.0));
    EXPECT_LT(ChiSquare(places, 8, kDraws), 7 + 5 * std::sqrt(14.0));
}

// The walk counts the dialog's spaces as PasswordSpace does, for every
// option set, at lengths where the five-position rule matters.
TEST(DrawRules, WalkCountsTheDialogsSpaces)
{
    for (int set = 0; set < kDialogOptionSets; ++set) {
        PasswordOptions options = DialogOptionSet(set);
        for (const int length : {3, 7, 64}) {
            options.length = length;
            const DrawRule rule{DialogAlphabet(options), options.excludeDuplicate, false};
            EXPECT_EQ(CountPasswords(rule, static_cast<std::size_t>(length)),
                      PasswordSpace(options).Size())
                << set << " " << length;
        }
    }
}

// --min-bits takes the shortest length whose least information, over every
// password counted one by one, reaches the target; a hair more takes the
// next. Passphrases: four words give two bits a word.
TEST(DrawRules, MinBitsPicksTheShortestLengthThatReaches)
{
    const RunPlan plan = Plan({"-tdigits", "--symbols=#%", "--every-kind", "-l3"});
    std::vector<double> least;
    for (std::size_t length = 0; length <= 5; ++length) {
        double fewest = INFINITY;
        const InformationContent information(plan.rule);
        for (const std::string& password : EveryString(plan.rule.alphabet, length)) {
            fewest = std::min(fewest, information.Bits(password));
        }
        least.push_back(fewest);
    }
    const std::vector<double> walked = LeastInformation(plan.rule, 5);
    for (std::size_t length = 3; length <= 5; ++length) {
        EXPECT_NEAR(walked[length], least[length], 1e-9) << length;
    }
    const ParsedCommandLine parsed =
        ParseCommandLine(std::vector<std::string_view>{"-tdigits", "--symbols=#%", "--every-kind"});
    for (const auto& [bits, length] :
         {std::pair{least[4] - 1e-9, 4}, {least[4] + 1e-9, 5}, {least[3] - 1e-9, 3}}) {
        CliRequest request = parsed.request;
        request.minBits = bits;
        RunPlan chosen;
        EXPECT_EQ(PlanRun(request, chosen), "");
        EXPECT_EQ(chosen.options.length, length) << bits;
    }
    const auto list = std::filesystem::temp_directory_path() / "sorvane-min-bits-words";
    std::ofstream(list) << "one\ntwo\nthree\nfour\nfour\n";
    for (const auto& [bits, words] : {std::pair{6.0, 3u}, {6.5, 4u}}) {
        CliRequest request;
        request.wordListPath = list.string();
        request.minBits = bits;
        RunPlan chosen;
        EXPECT_EQ(PlanRun(request, chosen), "");
        EXPECT_EQ(chosen.passphrase.count, words) << bits;
    }
    std::filesystem::remove(list);
}

} // namespace
