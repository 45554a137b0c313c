#include <gtest/gtest.h>

#include <string>

#include "engine/entropy.h"
#include "engine/phonetics.h"

namespace {

TEST(EstimateEntropy, RatesPasswordsInWholeBits)
{
    const struct {
        std::string password;
        int bits;
    } kCases[] = {
        {"", 0},
        {"a", 5},                 // log2 26 = 4.70, rounded up
        {"abc", 12},              // 1 + 1 + 1/2 (the step +1 repeats) = 2.5, x 4.70
        {"aaa", 8},               // 1 + 1/2 + 1/2 x 1/3 = 5/3
        {"0123456789", 13},       // 1 + 1 + 1/2 + ... + 1/9 = 3.83, x log2 10
        {"aZ3kQ9xB2m", 60},       // ten different characters, nine different steps, pool 62
        {"7", 4},                 // pool 10
        {"1234", 10},             // 1 + 1 + 1/2 + 1/3 = 2.83, x log2 10 = 9.4
        {"1234A", 20},            // one capital raises the pool from 10 to 36
        {"Aa", 12},               // case-sensitive: two characters, pool 52
        {std::string("\x7f"), 7}, // Delete weighs 112
        {std::string("\x80"), 6}, // every byte above 0x7F is a control, 60
        {" !", 8},                // space and '!' share a class of 16
        {"@[", 9},                // other punctuation, 17
        // A class size one off moves one of these: n different characters
        // with n - 1 different steps count n times, and n x log2 of the pool
        // lies close to a whole number; after the colon, the same with the
        // pool one smaller and one larger.
        {"AZBYCXDWEVFU", 57},      // 12 x log2 26 = 56.41: 55.73, 57.06
        {"azbycxdwevfu", 57},      // the same in small letters
        {"09182", 17},             // 5 x log2 10 = 16.61: 15.85, 17.30
        {"A Z!B", 27},             // 5 x log2 (26 + 16) = 26.96: 26.79, 27.13
        {"A@Z[B", 28},             // 5 x log2 (26 + 17) = 27.13: 26.96, 27.30
        {"\t0 9\x7f!8\"", 62},     // 8 x log2 (60 + 10 + 16 + 112) = 61.03: 60.98, 61.09
        {"AZ\t\x7f:~B\nY;}C", 93}, // 12 x log2 (60 + 26 + 17 + 112) = 92.98: 92.90, 93.06
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(EstimateEntropy(c.password), c.bits) << '"' << c.password << '"';
    }
}

TEST(PhoneticSpelling, SpellsOneWordPerCharacter)
{
    const struct {
        const char* password;
        const char* spelling;
    } kCases[] = {
        {"", ""},
        {"aB3", "air - BIT - three"},
        {"Q7x", "QUIZ - seven - xmas"},
        {"X", "XMAS"},
        {"u", "unit"},
        {"0", "zero"},
        {"abcdefghijklm",
         "air - bit - cup - dog - era - fly - gun - hat - ink - jug - key - leg - man"},
        {"NOPQRSTUVWXYZ",
         "NET - ORB - PEN - QUIZ - RAT - SEA - TIA - UNIT - VOW - WAR - XMAS - YAP - ZEN"},
        {"0123456789", "zero - one - two - three - four - five - six - seven - eight - nine"},
        // A passphrase's character beyond ASCII stands for itself whole; a
        // byte of no character, alone.
        {"caf\xC3\xA9\xF0\x9F\x94\x91", "cup - air - fly - \xC3\xA9 - \xF0\x9F\x94\x91"},
        {"\xE9x", "\xE9 - xmas"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(PhoneticSpelling(c.password), c.spelling) << c.password;
    }
}

} // namespace
