#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cctype>
#include <map>
#include <random>
#include <set>
#include <string>

#include "engine/candidate_table.h"
#include "engine/composer.h"
#include "engine/password_draw.h"
#include "engine/secure_random.h"
#include "tests/engine/bounded_sources.h"

namespace {

using CT = CharacterType;
using LC = LetterCase;

PasswordOptions Options(CT type, LC letterCase, bool similar, bool duplicate, int length = 10)
{
    PasswordOptions options;
    options.characterType = type;
    options.letterCase = letterCase;
    options.excludeSimilar = similar;
    options.excludeDuplicate = duplicate;
    options.length = length;
    return options;
}

std::string Range(char first, char last)
{
    std::string text;
    for (char c = first; c <= last; ++c) {
        text += c;
    }
    return text;
}

std::string WithoutLookAlikes(std::string text)
{
    std::erase_if(text,
                  [](char c) { return std::string("0Ooli1Ij").find(c) != std::string::npos; });
    return text;
}

std::set<char> Seen(DrawSource& random, const PasswordOptions& options, int draws)
{
    std::set<char> seen;
    for (int i = 0; i < draws; ++i) {
        seen.insert(NextCharacter(random, options, ""));
    }
    return seen;
}

// Every combination yields exactly the characters of its alphabet, from the
// seeded generator and from the system's secure one alike.
TEST(NextCharacter, YieldsExactlyTheAlphabetOfEveryCombination)
{
    const std::string digits = Range('0', '9');
    const std::string lower = Range('a', 'z');
    const std::string upper = Range('A', 'Z');
    const struct {
        CT type;
        LC letterCase;
        std::string alphabet;
        std::size_t count;
        std::size_t countWithoutLookAlikes;
    } kCases[] = {
        {CT::OnlyNumbers, LC::LowerCase, digits, 10, 8},
        {CT::OnlyNumbers, LC::MixCase, digits, 10, 8},
        {CT::HexDigits, LC::LowerCase, digits + "abcdef", 16, 14},
        {CT::HexDigits, LC::UpperCase, digits + "ABCDEF", 16, 14},
        {CT::HexDigits, LC::MixCase, digits + "abcdefABCDEF", 22, 20},
        {CT::OnlyLetters, LC::LowerCase, lower, 26, 22},
        {CT::OnlyLetters, LC::UpperCase, upper, 26, 24},
        {CT::OnlyLetters, LC::MixCase, lower + upper, 52, 46},
        {CT::LettersAndNumbers, LC::LowerCase, digits + lower, 36, 30},
        {CT::LettersAndNumbers, LC::UpperCase, digits + upper, 36, 32},
        {CT::LettersAndNumbers, LC::MixCase, digits + lower + upper, 62, 54},
    };
    for (const auto& c : kCases) {
        for (const bool similar : {false, true}) {
            const std::string alphabet = similar ? WithoutLookAlikes(c.alphabet) : c.alphabet;
            ASSERT_EQ(alphabet.size(), similar ? c.countWithoutLookAlikes : c.count);
            const std::set<char> expected(alphabet.begin(), alphabet.end());
            const PasswordOptions options = Options(c.type, c.letterCase, similar, false);

            RandomSource seeded;
            seeded.Seed(2024);
            BoundedDraws bounded(seeded);
            EXPECT_EQ(Seen(bounded, options, 20000), expected)
                << "type " << static_cast<int>(c.type) << " case " << static_cast<int>(c.letterCase)
                << " similar " << similar;
            SecureRandomSource secure(BudgetedSystemBytes());
            EXPECT_EQ(Seen(secure, options, 20000), expected)
                << "secure, type " << static_cast<int>(c.type);
        }
    }
}

// The number and order of draws decide the characters. Expected passwords
// were worked out by hand from the generator's rule for seed 1 (41, 18467,
// 6334, ...) and the draw rules: e.g. "Q" is letter (41 odd), capital (18467
// odd), 6334 % 26 = 16.
TEST(BuildPassword, DrawsInTheFixedOrder)
{
    const struct {
        std::uint32_t seed;
        PasswordOptions options;
        const char* expected;
    } kCases[] = {
        {1, Options(CT::LettersAndNumbers, LC::MixCase, true, true, 16), "Q9825F7gkQxSR72P"},
        {1, Options(CT::OnlyNumbers, LC::MixCase, true, true, 12), "749825764328"},
        {1, Options(CT::HexDigits, LC::MixCase, false, false, 12), "93e1ce0911BB"},
        {1, Options(CT::OnlyLetters, LC::LowerCase, true, true, 12), "phqgumeaynfd"},
        {1, Options(CT::OnlyLetters, LC::UpperCase, false, true, 12), "PHQGUMEAYLNF"},
        {7, Options(CT::HexDigits, LC::UpperCase, true, true, 10), "DEF4829A7F"},
        {0, Options(CT::LettersAndNumbers, LC::LowerCase, false, false, 10), "97tt2u1jzq"},
    };
    for (const auto& c : kCases) {
        RandomSource random;
        random.Seed(c.seed);
        EXPECT_EQ(BuildPassword(random, c.options), c.expected);
    }

    // A rejected candidate has used its draws: seed 1 draws '1' (rejected as a
    // look-alike), then 18467 gives '7'.
    RandomSource random;
    random.Seed(1);
    EXPECT_EQ(NextCharacter(random, Options(CT::OnlyNumbers, LC::MixCase, true, false), ""), '7');
    EXPECT_EQ(random.Next(), 6334);
}

// The draw formulas and the acceptance rule written out plainly, with a copy
// of the runtime library's generator: what composition must match.
class ReferenceComposer {
public:
    explicit ReferenceComposer(std::uint32_t seed) : state(seed) {}

    std::string Build(const PasswordOptions& options)
    {
        std::string password;
        while (static_cast<int>(password.size()) < options.length) {
            char candidate;
            do {
                candidate = Candidate(options);
            } while (!IsAcceptable(candidate, password, options));
            password += candidate;
        }
        return password;
    }

private:
    int Rand()
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
    char Digit() { return static_cast<char>('0' + Rand() % 10); }
    char Cased(int capital, bool upper)
    {
        return static_cast<char>(upper ? capital : capital + 32);
    }
    // Mixed case costs a draw of its own, the other cases none.
    bool Upper(LC letterCase)
    {
        return letterCase == LC::MixCase ? Rand() % 2 == 1 : letterCase == LC::UpperCase;
    }
    char Letter(LC letterCase)
    {
        const bool upper = Upper(letterCase);
        return Cased('A' + Rand() % 26, upper);
    }
    char HexDigit(LC letterCase)
    {
        const int value = Rand() % 16;
        return value < 10 ? static_cast<char>('0' + value)
                          : Cased('A' + value - 10, Upper(letterCase));
    }
    char Candidate(const PasswordOptions& options)
    {
        switch (options.characterType) {
        case CT::OnlyNumbers:
            return Digit();
        case CT::HexDigits:
            return HexDigit(options.letterCase);
        case CT::OnlyLetters:
            return Letter(options.letterCase);
        case CT::LettersAndNumbers:
            break;
        }
        return Rand() % 2 == 1 ? Letter(options.letterCase) : Digit();
    }

    std::uint32_t state;
};

// Reproducible bytes for the secure source.
RandomBytes PseudoRandomBytes(std::uint32_t seed)
{
    return [engine = std::mt19937(seed)](void* buffer, std::size_t size) mutable {
        std::generate_n(static_cast<std::uint8_t*>(buffer), size,
                        [&] { return static_cast<std::uint8_t>(engine()); });
        return true;
    };
}

// The secure source's draw written plainly: one index into the options'
// table a candidate, drawn again while the rules reject it.
std::string TableReference(DrawSource& random, const PasswordOptions& options)
{
    const CandidateTable& table = CandidateTable::For(options);
    std::string password;
    while (password.size() < static_cast<std::size_t>(options.length)) {
        const char candidate = table.At(random.Below(table.Size()));
        if (IsAcceptable(candidate, password, options)) {
            password += candidate;
        }
    }
    return password;
}

// Composition runs a loop compiled for each source type: the seeded source
// must give the reference's characters inlined and through the virtual
// table, and the secure source inlined the plain table draw.
TEST(BuildPassword, MatchesTheReferenceForEveryOptionAndSource)
{
    for (int type = 0; type < 4; ++type) {
        for (int letterCase = 0; letterCase < 3; ++letterCase) {
            for (int exclusions = 0; exclusions < 4; ++exclusions) {
                const auto options = Options(static_cast<CT>(type), static_cast<LC>(letterCase),
                                             (exclusions & 1) != 0, (exclusions & 2) != 0, 64);
                for (const std::uint32_t seed : {0u, 1u, 4080u, 0xFFFFFFFFu}) {
                    ReferenceComposer reference(seed);
                    RandomSource seeded;
                    seeded.Seed(seed);
                    RandomSource wrapped;
                    wrapped.Seed(seed);
                    BoundedDraws generic(wrapped); // through the virtual table
                    SecureRandomSource secure(WithinBudget(PseudoRandomBytes(seed)));
                    SecureRandomSource secureWrapped(WithinBudget(PseudoRandomBytes(seed)));
                    BoundedDraws secureGeneric(secureWrapped);
                    for (int n = 0; n < 3; ++n) {
                        const std::string expected = reference.Build(options);
                        ASSERT_EQ(BuildPassword(seeded, options), expected)
                            << type << letterCase << exclusions << " seed " << seed;
                        ASSERT_EQ(BuildPassword(generic, options), expected);
                        ASSERT_EQ(BuildPassword(secure, options),
                                  TableReference(secureGeneric, options));
                    }
                }
            }
        }
    }
}

// A character's chance under the draw formulas, worked out by hand: a
// letter-or-digit choice of two, a digit of ten, a hex digit of sixteen, a
// letter of twenty-six, and in mixed case a choice of two for the case.
double FormulaChance(char c, CT type, LC letterCase)
{
    const bool digit = c >= '0' && c <= '9';
    const bool lower = c >= 'a' && c <= 'z';
    const bool upper = c >= 'A' && c <= 'Z';
    const double inCase = !lower && !upper                         ? 0.0
                          : letterCase == LC::MixCase              ? 0.5
                          : lower == (letterCase == LC::LowerCase) ? 1.0
                                                                   : 0.0;
    switch (type) {
    case CT::OnlyNumbers:
        return digit ? 0.1 : 0.0;
    case CT::HexDigits:
        return digit ? 1.0 / 16 : std::tolower(c) <= 'f' ? inCase / 16 : 0.0;
    case CT::OnlyLetters:
        return inCase / 26;
    case CT::LettersAndNumbers:
        break;
    }
    return digit ? 1.0 / 20 : inCase / 52;
}

// The dialog's rule gives each character its chance under the draw formulas
// once look-alikes are redrawn, and the secure source's table lists each as
// often as its weight says, exactly. Values past the last type and case draw
// as the last ones.
TEST(DialogRule, GivesEachCharacterItsFormulaChanceAndTheTableItsWeight)
{
    for (int type = 0; type <= 4; ++type) {
        for (int letterCase = 0; letterCase <= 3; ++letterCase) {
            for (const bool similar : {false, true}) {
                const auto options =
                    Options(static_cast<CT>(type), static_cast<LC>(letterCase), similar, true);
                const Alphabet alphabet = DialogRule(options).alphabet;
                const auto chance = [&](int byte) {
                    const char c = static_cast<char>(byte);
                    return similar && IsSimilarCharacter(c)
                               ? 0.0
                               : FormulaChance(c, static_cast<CT>(std::min(type, 3)),
                                               static_cast<LC>(std::min(letterCase, 2)));
                };
                double passing = 0;
                for (int byte = 1; byte < 256; ++byte) {
                    passing += chance(byte);
                }
                const CandidateTable table(alphabet);
                std::array<std::uint64_t, 256> count{};
                for (int i = 0; i < table.Size(); ++i) {
                    ++count[static_cast<unsigned char>(table.At(i))];
                }
                for (int byte = 0; byte < 256; ++byte) {
                    const std::uint64_t weight = alphabet.weight[static_cast<std::size_t>(byte)];
                    ASSERT_NEAR(static_cast<double>(weight) / alphabet.Total(),
                                chance(byte) / passing, 1e-12)
                        << type << letterCase << similar << " '" << static_cast<char>(byte) << "'";
                    ASSERT_EQ(count[byte] * alphabet.Total(),
                              weight * static_cast<std::uint64_t>(table.Size()));
                }
            }
        }
    }
}

TEST(BuildPassword, EqualSeedsGiveEqualPasswords)
{
    for (int type = 0; type < 4; ++type) {
        for (int letterCase = 0; letterCase < 3; ++letterCase) {
            const auto options =
                Options(static_cast<CT>(type), static_cast<LC>(letterCase), true, true, 64);
            RandomSource first;
            RandomSource second;
            first.Seed(4080);
            second.Seed(4080);
            for (int i = 0; i < 5; ++i) {
                const std::string password = BuildPassword(first, options);
                EXPECT_EQ(password.size(), 64u);
                EXPECT_EQ(password, BuildPassword(second, options));
            }
        }
    }
    RandomSource random;
    EXPECT_EQ(BuildPassword(random, Options(CT::OnlyNumbers, LC::MixCase, true, true, 0)), "");
    EXPECT_EQ(BuildPassword(random, Options(CT::OnlyNumbers, LC::MixCase, true, true, -5)), "");
}

TEST(IsAcceptable, AppliesLookAlikesAndTheFivePositionRule)
{
    const auto both = Options(CT::LettersAndNumbers, LC::MixCase, true, true);
    const auto similarOnly = Options(CT::LettersAndNumbers, LC::MixCase, true, false);
    const auto duplicateOnly = Options(CT::LettersAndNumbers, LC::MixCase, false, true);
    const struct {
        char candidate;
        const char* soFar;
        const PasswordOptions& options;
        bool acceptable;
    } kCases[] = {
        {'L', "", both, true},
        {'J', "", both, true},
        {'O', "", both, false},
        {'o', "", both, false},
        {'0', "", both, false},
        {'I', "", similarOnly, false},
        {'j', "", similarOnly, false},
        {'1', "", duplicateOnly, true},
        {'a', "xyzwA", duplicateOnly, false}, // nearest, other case
        {'A', "axyzw", duplicateOnly, false}, // fifth back, other case
        {'a', "axyzwv", duplicateOnly, true}, // sixth back may repeat
        {'7', "7", duplicateOnly, false},
        {'7', "7", similarOnly, true},
        {'b', "B", both, false},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(IsAcceptable(c.candidate, c.soFar, c.options), c.acceptable)
            << c.candidate << " after \"" << c.soFar << "\"";
    }
}

TEST(BuildPassword, KeepsSixNeighboursDistinctAndLetsTheSeventhRepeat)
{
    SecureRandomSource random(BudgetedSystemBytes());
    int repeatsAtSix = 0;
    for (const auto options : {Options(CT::OnlyNumbers, LC::MixCase, true, true, 64),
                               Options(CT::OnlyLetters, LC::MixCase, true, true, 64)}) {
        for (int n = 0; n < 200; ++n) {
            const std::string password = BuildPassword(random, options);
            ASSERT_EQ(password.size(), 64u);
            for (std::size_t i = 0; i < password.size(); ++i) {
                ASSERT_EQ(std::string("0Ooli1Ij").find(password[i]), std::string::npos);
                for (std::size_t back = 1; back <= 5 && back <= i; ++back) {
                    ASSERT_NE(std::tolower(password[i]), std::tolower(password[i - back]))
                        << password;
                }
                if (i >= 6 && std::tolower(password[i]) == std::tolower(password[i - 6])) {
                    ++repeatsAtSix;
                }
            }
        }
    }
    // With eight digits and five ruled out, a repeat six places on is common.
    EXPECT_GT(repeatsAtSix, 1000);
}

// Frequencies of the secure source against the exact probabilities of the
// draw rules: a letter-or-digit draw is a digit half the time, each digit
// 1/20 and each letter of either case 1/104 (the secure source's draws below
// n are exactly uniform), look-alikes are redrawn.
TEST(SecureRandomSource, CharacterFrequenciesPassChiSquare)
{
    const auto options = Options(CT::LettersAndNumbers, LC::MixCase, true, false);
    std::map<char, double> probability;
    for (int d = 0; d < 10; ++d) {
        probability['0' + d] = 1.0 / 20;
    }
    for (int l = 0; l < 26; ++l) {
        probability['a' + l] = 1.0 / 104;
        probability['A' + l] = 1.0 / 104;
    }
    double acceptable = 0;
    for (auto it = probability.begin(); it != probability.end();) {
        if (std::string("0Ooli1Ij").find(it->first) != std::string::npos) {
            it = probability.erase(it);
        } else {
            acceptable += it->second;
            ++it;
        }
    }
    ASSERT_EQ(probability.size(), 54u);

    SecureRandomSource random(BudgetedSystemBytes());
    const int kSamples = 2000000;
    std::map<char, long long> observed;
    for (int i = 0; i < kSamples; ++i) {
        ++observed[NextCharacter(random, options, "")];
    }
    double chiSquare = 0;
    for (const auto& [c, p] : probability) {
        const double expected = kSamples * p / acceptable;
        const double difference = static_cast<double>(observed[c]) - expected;
        chiSquare += difference * difference / expected;
    }
    EXPECT_EQ(observed.size(), 54u);
    // 53 degrees of freedom: P(chi-square > 140) is below 1e-9 for a sound
    // source. A source that delivers only a byte per draw scores near 2000.
    EXPECT_LT(chiSquare, 140.0);
}

} // namespace
