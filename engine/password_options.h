#pragma once

#include <cstddef>
#include <string_view>

#include "engine/random_source.h"

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

// Single draws. The number and order of draws is fixed: the same source state
// and options always give the same characters.
char DrawDigit(DrawSource& random);
char DrawLetter(DrawSource& random, LetterCase letterCase);
char DrawHexDigit(DrawSource& random, LetterCase letterCase);

// Whether the candidate may follow passwordSoFar under the options.
bool IsAcceptable(char candidate, std::string_view passwordSoFar, const PasswordOptions& options);

// Draws candidates of the chosen type until one is acceptable.
char NextCharacter(DrawSource& random, const PasswordOptions& options,
                   std::string_view passwordSoFar);

// Fills text[0] to text[length - 1], each position by NextCharacter given
// the positions before it.
void DrawCharacters(DrawSource& random, const PasswordOptions& options, char* text,
                    std::size_t length);
