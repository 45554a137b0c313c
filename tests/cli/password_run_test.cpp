#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "cli/password_run.h"
#include "cli/run_plan.h"
#include "engine/rule_walk.h"
#include "engine/secure_random.h"
#include "platform/system_random.h"

namespace {

class StringSink final : public ByteSink {
public:
    bool Write(std::string_view bytes) override
    {
        text.append(bytes);
        return true;
    }
    std::string text;
};

std::uint64_t EveryPasswordAlike(std::string_view)
{
    return 1;
}

// 4096 fingerprints, all with the same place in the table.
std::uint64_t FewAndCrowded(std::string_view password)
{
    return PasswordHash(password) % 4096 + 1;
}

// The system's bytes up to a budget, then a failure: a run that would draw
// for ever ends as failed instead.
RandomBytes Budget(std::size_t bytes)
{
    return [bytes](void* buffer, std::size_t size) mutable {
        if (size > bytes) {
            return false;
        }
        bytes -= size;
        return SystemRandomBytes(buffer, size);
    };
}

// Ranks key the passwords of spaces that fit 64 bits, so no hash can hide the
// last ones; beyond, hash collisions cost redraws and never a repeat.
TEST(MakePasswords, KeepsEveryPasswordDifferentWhenFingerprintsCollide)
{
    const struct {
        const char* name;
        CharacterType type;
        bool exclusions;
        int length, count;
        FingerprintHash hash;
        int made;
        RunEnd end;
    } cases[] = {
        {"all 1000 of a space", CharacterType::OnlyNumbers, false, 3, 1000, EveryPasswordAlike,
         1000, RunEnd::Complete},
        {"all 336, then none", CharacterType::OnlyNumbers, true, 3, 400, EveryPasswordAlike, 336,
         RunEnd::NoMoreFit},
        {"hashed, crowded", CharacterType::LettersAndNumbers, true, 16, 2000, FewAndCrowded, 2000,
         RunEnd::Complete},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CliRequest request;
        request.options.characterType = c.type;
        request.options.excludeSimilar = c.exclusions;
        request.repeats = c.exclusions ? Repeats::NotWithinFive : Repeats::Allowed;
        request.options.length = c.length;
        request.count = c.count;
        StringSink sink;
        PasswordWriter writer(OutputFormat::Plain, CharacterPlan(request).rule, sink);
        SecureRandomSource random(Budget(std::size_t{1} << 22), 4096);
        const RunResult result =
            MakePasswords(request, random, ExclusionDictionary(), writer, c.hash);
        EXPECT_EQ(result.made, c.made);
        EXPECT_EQ(result.end, c.end);
        std::istringstream lines(sink.text);
        std::set<std::string> passwords;
        std::set<std::uint64_t> fingerprints;
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back(); // the line end of Windows
            }
            passwords.insert(line);
            fingerprints.insert(c.hash(line));
        }
        EXPECT_EQ(passwords.size(), static_cast<std::size_t>(c.made));
        if (c.hash == FewAndCrowded) {
            EXPECT_EQ(fingerprints.size(), passwords.size());
        }
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
TEST(Passphrases, AreWordsDrawnAlike)
{
    const auto list = std::filesystem::temp_directory_path() /
                      ("sorvane-passphrase-words-" + std::to_string(std::random_device{}()));
    std::ofstream(list, std::ios::binary)
        << "\xEF\xBB\xBFred\r\n\ngreen\n blue \nred\nsky-blue\nnavy\nteal";
    PassphraseWords read;
    EXPECT_EQ(LoadPassphraseWords(list.string(), "-", false, read), "");
    std::filesystem::remove(list);
    PassphraseRule rule;
    rule.words = read.words;
    EXPECT_EQ(rule.words, (std::vector<std::string>{"red", "green", "blue", "navy", "teal"}));
    rule.count = 2;
    rule.separator = "-";
    EXPECT_EQ(rule.Size(), PasswordCount(25));
    EXPECT_NEAR(25 * std::exp2(-rule.Bits()), 1.0, 1e-12);
    constexpr int kDraws = 300000;
    SecureRandomSource random(Budget(std::size_t{1} << 22));
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

// A list made for dice is read as its words, numbered with spaces or a tab;
// a line of another shape is its word whole, as in a plain list. Each distinct
// word left out is counted once, under the first reason that holds.
TEST(Passphrases, ReadListsMadeForDiceAndCountWhatIsLeftOut)
{
    const auto list = std::filesystem::temp_directory_path() /
                      ("sorvane-dice-words-" + std::to_string(std::random_device{}()));
    std::ofstream(list, std::ios::binary) << "11111\tabacus\n2346  zebra\r\n66666\tyo-yo\nplain\n"
                                             "17 seven\n12 ice cream\n123\nabacus\nMcKay\n"
                                             "bad\x01word\n";
    const struct {
        const char* separator;
        bool capitalize;
        std::vector<std::string> words;
        std::vector<std::size_t> leftOut; // control, separator, hyphen, no capital, capitals
    } kCases[] = {
        {"-",
         false,
         {"abacus", "zebra", "plain", "17 seven", "12 ice cream", "123", "McKay"},
         {1, 1, 0, 0, 0}},
        {"", true, {"Abacus", "Zebra", "Yo-yo", "Plain"}, {1, 0, 0, 3, 1}},
    };
    for (const auto& c : kCases) {
        PassphraseWords read;
        EXPECT_EQ(LoadPassphraseWords(list.string(), c.separator, c.capitalize, read), "");
        EXPECT_EQ(read.words, c.words) << c.separator;
        EXPECT_EQ(std::vector<std::size_t>(std::begin(read.leftOut), std::end(read.leftOut)),
                  c.leftOut)
            << c.separator;
    }
    std::filesystem::remove(list);
}

// --min-bits takes the shortest length whose least information (the walk's,
// tested with the rules) reaches the target, and a hair more takes the next.
// Passphrases: four words give two bits a word.
TEST(PlanRun, MinBitsPicksTheShortestLengthThatReaches)
{
    const ParsedCommandLine parsed =
        ParseCommandLine(std::vector<std::string_view>{"-tdigits", "--symbols=#%", "--every-kind"});
    const std::vector<double> least = LeastInformation(CharacterPlan(parsed.request).rule, 5);
    for (const auto& [bits, length] :
         {std::pair{least[4] - 1e-9, 4}, {least[4] + 1e-9, 5}, {least[3] - 1e-9, 3}}) {
        CliRequest request = parsed.request;
        request.minBits = bits;
        RunPlan chosen;
        EXPECT_EQ(PlanRun(request, chosen), "");
        EXPECT_EQ(chosen.length, length) << bits;
    }
    const auto list = std::filesystem::temp_directory_path() /
                      ("sorvane-min-bits-words-" + std::to_string(std::random_device{}()));
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
