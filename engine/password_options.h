#pragma once

#include <array>
#include <string_view>

#include "engine/recent_characters.h"

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

// The acceptance rule of the dialog's draw formulas: with look-alikes
// excluded the candidate must not be one, and it must differ from each recent
// character in either letter case.
inline bool IsAcceptable(char candidate, const RecentCharacters& recent, bool excludeSimilar)
{
    if (excludeSimilar && IsSimilarCharacter(candidate)) {
        return false;
    }
    return !recent.Holds(FoldCase(candidate));
}
