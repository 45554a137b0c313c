#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/random_source.h"

class CandidateTable;

// The numbers are also the values stored as "Type" and "Case".
enum class CharacterType : int {
    OnlyNumbers = 0,
    HexDigits = 1,
    OnlyLetters = 2,
    LettersAndNumbers = 3,
};

enum class LetterCase : int {
    LowerCase = 0,
    UpperCase = 1,
    MixCase = 2,
};

struct PasswordOptions {
    static constexpr int kMinLength = 3;
    static constexpr int kMaxLength = 64;
    static constexpr int kMinCount = 1;
    static constexpr int kMaxCount = 300;

    int length = 10;
    int count = 10;
    CharacterType characterType = CharacterType::LettersAndNumbers;
    LetterCase letterCase = LetterCase::MixCase;
    bool excludeSimilar = true;
    bool excludeDuplicate = true;
};

// Characters that are easily mistaken for one another; compared byte for byte,
// so 'L' and 'J' are not among them.
inline constexpr std::string_view SimilarCharacters = "0Ooli1Ij";

// How many preceding characters a new one must differ from.
inline constexpr int DuplicateLookBack = 5;

// ASCII case folding: capitals become small letters, every other byte stays.
constexpr unsigned char FoldCase(char c)
{
    const auto value = static_cast<unsigned char>(c);
    return value >= 'A' && value <= 'Z' ? static_cast<unsigned char>(value - 'A' + 'a') : value;
}

// Membership of SimilarCharacters by byte value: composition asks it of
// every candidate.
inline constexpr std::array<bool, 256> kSimilarCharacterTable = [] {
    std::array<bool, 256> table{};
    for (const char c : SimilarCharacters) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}();

constexpr bool IsSimilarCharacter(char c)
{
    return kSimilarCharacterTable[static_cast<unsigned char>(c)];
}

// The characters a new one must differ from under the five-position rule:
// the last DuplicateLookBack of the password, folded, one byte each in the
// low five bytes of a word, the newest lowest. Empty places hold the zero
// byte, which no candidate ever is; a password drawn without the rule keeps
// every place empty.
class RecentCharacters {
public:
    void Push(char c) { folded = ((folded << 8) | FoldCase(c)) & kPlaces; }

    // Whether a place holds the folded candidate: the places that do become
    // zero bytes, found by the classic test for a zero byte in a word (exact
    // about whether there is one; borrows only run upwards, so the three
    // unused high bytes, zero as well, never count).
    bool Holds(unsigned char foldedCandidate) const
    {
        const std::uint64_t difference = folded ^ (kOnes * foldedCandidate);
        return ((difference - kOnes) & ~difference & kHighBits) != 0;
    }

private:
    static_assert(DuplicateLookBack == 5, "five places of a byte each");
    static constexpr std::uint64_t kOnes = 0x0101010101u;
    static constexpr std::uint64_t kHighBits = kOnes * 0x80;
    static constexpr std::uint64_t kPlaces = kOnes * 0xFF;

    std::uint64_t folded = 0;
};

// The acceptance rule, the one place it is written: with look-alikes
// excluded the candidate must not be one, and it must differ from each recent
// character in either letter case. Composition applies it to every candidate.
inline bool IsAcceptable(char candidate, const RecentCharacters& recent, bool excludeSimilar)
{
    if (excludeSimilar && IsSimilarCharacter(candidate)) {
        return false;
    }
    return !recent.Holds(FoldCase(candidate));
}

// The same rule given the password so far: its last characters are folded
// into RecentCharacters when the options exclude duplicates.
bool IsAcceptable(char candidate, std::string_view passwordSoFar, const PasswordOptions& options);

// Draws candidates of the chosen type until one is acceptable. The number and
// order of draws is fixed: the same source state and options always give the
// same characters.
char NextCharacter(DrawSource& random, const PasswordOptions& options,
                   std::string_view passwordSoFar);

// Fills text[0] to text[length - 1], each position as NextCharacter would
// given the positions before it.
void DrawCharacters(DrawSource& random, const PasswordOptions& options, char* text,
                    std::size_t length);

// count passwords as DrawCharacters draws each, one after another from texts
// on (length bytes each, no separator). A caller that needs many candidates
// at once (the command line) pays for choosing the draw only once.
void DrawPasswords(DrawSource& random, const PasswordOptions& options, char* texts,
                   std::size_t length, std::size_t count);

// count passwords drawn from the table, one uniform index a candidate, each
// candidate that folds to one of the five before it drawn again when
// excludeDuplicate is set: the command line's draw for its own alphabets.
void DrawFromTable(DrawSource& random, const CandidateTable& table, bool excludeDuplicate,
                   char* texts, std::size_t length, std::size_t count);
