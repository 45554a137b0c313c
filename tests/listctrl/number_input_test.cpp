// The typing rules of a number cell's editor.
#include <gtest/gtest.h>

#include <string>

#include "listctrl/list_model.h"
#include "listctrl/number_input.h"

namespace {

constexpr std::uint32_t kWhole = FlagNumber;
constexpr std::uint32_t kDecimal = FlagDecimal;
constexpr std::uint32_t kCompare = FlagNumber | FlagCompare;

// Characters typed one after another at the end of the text: each is kept
// or dropped, as the rules say.
struct Typing {
    std::uint32_t flags;
    const char* keys;
    const char* expected;
};

TEST(NumberInput, KeystrokesKeepOnlyWhatTheCellAllows)
{
    const Typing cases[] = {
        {kWhole, "12.5", "125"},     // no point in a whole number
        {kDecimal, "1.2.5", "1.25"}, // one point at most
        {kWhole, "-12", "-12"},      // a sign before the digits
        {kWhole, "1-2", "12"},       // but not after them
        {kWhole, "12a<=", "12"},     // no letters, no marks without FlagCompare
        {kCompare, "<=5", "<=5"},    // a comparison, then a number
        {kCompare, "=<5", "=5"},     // "=" comes after "<" or ">"
        {kCompare, "<<5", "<5"},     // one of each mark
        {kCompare, "5<", "5"},       // no mark after a digit
        {kCompare, ">=-3", ">=-3"},  // a negative bound
        {kDecimal | FlagCompare, "<.5.", "<.5"},
    };
    for (const Typing& c : cases) {
        std::string text;
        for (const char* key = c.keys; *key != '\0'; ++key) {
            if (AcceptsNumberKey(text, text.size(), text.size(), *key, c.flags)) {
                text += *key;
            }
        }
        EXPECT_EQ(text, c.expected) << c.keys;
    }
}

TEST(NumberInput, TypingOverASelectionJudgesTheTextItLeaves)
{
    // "1.5" with ".5" selected: a point typed over it replaces the old one.
    EXPECT_TRUE(AcceptsNumberKey("1.5", 1, 3, '.', kDecimal));
    // With only "5" selected the old point stays, so a second one is refused.
    EXPECT_FALSE(AcceptsNumberKey("1.5", 2, 3, '.', kDecimal));
    // A sign typed in front of the digits, not behind the first one.
    EXPECT_TRUE(AcceptsNumberKey("12", 0, 0, '-', kWhole));
    EXPECT_FALSE(AcceptsNumberKey("12", 1, 1, '-', kWhole));
    // Selection ends past the text are read as its end.
    EXPECT_TRUE(AcceptsNumberKey("12", 5, 9, '3', kWhole));
}

TEST(NumberInput, MinusTurnsTheSignOfTheNumberRound)
{
    struct Case {
        const char* text;
        const char* expected;
        int shift;
    };
    const Case cases[] = {
        {"12", "-12", 1},
        {"-12", "12", -1},
        {"3.14159265", "-3.14159265", 1}, // every digit kept
        {"98765432109876543210", "-98765432109876543210", 1},
        {"<=5", "<=-5", 1}, // the comparison stays in front
        {">=-5", ">=5", -1},
        {"0", "0", 0},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        const SignFlip flip = FlipSign(c.text);
        EXPECT_EQ(flip.text, c.expected) << c.text;
        EXPECT_EQ(flip.shift, c.shift) << c.text;
    }
    // Twice gives the text back.
    EXPECT_EQ(FlipSign(FlipSign("12").text).text, "12");

    // The caret and selection move with the characters after the sign.
    const SignFlip added = FlipSign("12");
    EXPECT_EQ(added.Follow(0), 1u);
    EXPECT_EQ(added.Follow(2), 3u);
    const SignFlip removed = FlipSign("-12");
    EXPECT_EQ(removed.Follow(0), 0u);
    EXPECT_EQ(removed.Follow(3), 2u);
    const SignFlip behind = FlipSign("<=5");
    EXPECT_EQ(behind.Follow(1), 1u);
    EXPECT_EQ(behind.Follow(3), 4u);
}

} // namespace
