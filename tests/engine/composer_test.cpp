#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/composer.h"
#include "engine/password_set.h"
#include "engine/secure_random.h"
#include "tests/engine/bounded_sources.h"

namespace {

class WordSet : public ExcludedWords {
public:
    std::set<std::string> words;
    mutable std::vector<std::string> asked;
    bool everything = false;

    bool Contains(std::string_view password) const override
    {
        asked.emplace_back(password);
        return everything || words.count(std::string(password)) > 0;
    }
};

class RecordingList : public PasswordList {
public:
    std::vector<PasswordRow> rows;
    mutable int scans = 0;

    bool Contains(std::string_view password) const override
    {
        ++scans;
        for (const auto& row : rows) {
            if (row.password == password) {
                return true;
            }
        }
        return false;
    }
    void Add(const PasswordRow& row) override { rows.push_back(row); }
};

PasswordOptions Options(CharacterType type, int length)
{
    PasswordOptions options;
    options.characterType = type;
    options.length = length;
    return options;
}

TEST(GeneratePassword, FillsTheSmallestSpaceWithThreeHundredDifferentPasswords)
{
    // Only numbers, length 3, both exclusions: 8 x 7 x 6 = 336 passwords exist.
    const auto options = Options(CharacterType::OnlyNumbers, 3);
    for (const bool secure : {false, true}) {
        RandomSource seeded;
        seeded.Seed(99);
        SecureRandomSource system(BudgetedSystemBytes());
        DrawSource& random = secure ? static_cast<DrawSource&>(system) : seeded;
        WordSet dictionary;
        RecordingList list;
        std::set<std::string> distinct;
        for (int i = 0; i < 300; ++i) {
            const auto row = GeneratePassword(random, options, dictionary, list);
            ASSERT_TRUE(row.has_value());
            EXPECT_EQ(row->password.size(), 3u);
            distinct.insert(row->password);
        }
        EXPECT_EQ(distinct.size(), 300u);
        EXPECT_EQ(list.rows.size(), 300u);
    }
}

TEST(GeneratePassword, SkipsExcludedAndListedCandidatesInSequence)
{
    const auto options = Options(CharacterType::LettersAndNumbers, 8);
    RandomSource preview;
    preview.Seed(321);
    const std::string first = BuildPassword(preview, options);
    const std::string second = BuildPassword(preview, options);
    const std::string third = BuildPassword(preview, options);

    RandomSource random;
    random.Seed(321);
    WordSet dictionary;
    dictionary.words = {first};
    RecordingList list;
    list.rows.push_back(MakePasswordRow(second));

    const auto row = GeneratePassword(random, options, dictionary, list);
    ASSERT_TRUE(row.has_value());
    // Rejected candidates used up their draws: the third of the sequence wins.
    EXPECT_EQ(row->password, third);
    EXPECT_EQ(dictionary.asked, (std::vector<std::string>{first, second, third}));
    // The dictionary is asked first: its rejection never reaches the list.
    EXPECT_EQ(list.scans, 2);
    ASSERT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(list.rows[1].password, third);
}

// The caller counts what is left first; composition itself draws until a
// new password comes. The seeded generator alone gives up, once its sequence
// comes round: a password of no characters draws nothing, so the state at
// the second candidate is the state at the first.
TEST(GeneratePassword, TheSeededSourceGivesUpWhenItsSequenceComesRound)
{
    RandomSource random;
    RecordingList list;
    WordSet none;
    const auto empty = Options(CharacterType::OnlyNumbers, 0);
    const auto row = GeneratePassword(random, empty, none, list);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->password, "");
    EXPECT_FALSE(GeneratePassword(random, empty, none, list));
    EXPECT_EQ(list.rows.size(), 1u);
}

// A batch ends with its own status when the generator fails: the failure
// must leave composition as RandomUnavailable, with nothing listed.
TEST(GeneratePassword, PassesOnAFailingGenerator)
{
    SecureRandomSource failing([](void*, std::size_t) { return false; });
    WordSet dictionary;
    RecordingList list;
    EXPECT_THROW(
        GeneratePassword(failing, Options(CharacterType::OnlyNumbers, 8), dictionary, list),
        RandomUnavailable);
    EXPECT_TRUE(list.rows.empty());
}

TEST(MakePasswordRow, RatesAndSpellsThePassword)
{
    const PasswordRow row = MakePasswordRow("abc");
    EXPECT_EQ(row.password, "abc");
    EXPECT_EQ(row.entropyBits, 12);
    EXPECT_EQ(row.entropyText, "12 bit");
    EXPECT_EQ(row.phonetics, "air - bit - cup");
}

// Lengths the word-at-a-time hash reads differently (none, under eight, eight,
// more), many more than a batch, so that the table grows; and all again after
// a Clear, which keeps the storage.
TEST(PasswordSet, FindsWhatWasFiledAndNothingElse)
{
    std::vector<std::string> filed = {""};
    for (int i = 0; i < 2000; ++i) {
        filed.push_back(std::string(static_cast<std::size_t>(i % 20), 'a') + std::to_string(i));
    }
    PasswordSet set;
    for (int round = 0; round < 2; ++round) {
        for (const auto& password : filed) {
            set.Insert(password);
            set.Insert(password); // filed once
        }
        ASSERT_EQ(set.Size(), filed.size());
        for (const auto& password : filed) {
            ASSERT_TRUE(set.Contains(password)) << password;
            ASSERT_FALSE(set.Contains(password + "x")) << password;
        }
        set.Clear();
        EXPECT_EQ(set.Size(), 0u);
        EXPECT_FALSE(set.Contains(filed[1]));
    }
}

} // namespace
