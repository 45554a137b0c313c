#include "engine/password_options.h"

#include <algorithm>

namespace {

bool IsOdd(int draw)
{
    return (draw & 1) != 0;
}

char FoldToLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

char DrawDigit(DrawSource& random)
{
    return static_cast<char>('0' + random.Next() % 10);
}

char DrawLetter(DrawSource& random, LetterCase letterCase)
{
    switch (letterCase) {
    case LetterCase::LowerCase:
        return static_cast<char>('a' + random.Next() % 26);
    case LetterCase::UpperCase:
        return static_cast<char>('A' + random.Next() % 26);
    case LetterCase::MixCase:
        break;
    }
    const char first = IsOdd(random.Next()) ? 'A' : 'a';
    return static_cast<char>(first + random.Next() % 26);
}

char DrawHexDigit(DrawSource& random, LetterCase letterCase)
{
    const int value = random.Next() % 16;
    if (value < 10) {
        return static_cast<char>('0' + value);
    }
    const char upper = static_cast<char>('A' + value - 10);
    const char lower = static_cast<char>('a' + value - 10);
    switch (letterCase) {
    case LetterCase::LowerCase:
        return lower;
    case LetterCase::UpperCase:
        return upper;
    case LetterCase::MixCase:
        break;
    }
    return IsOdd(random.Next()) ? upper : lower;
}

bool IsAcceptable(char candidate, std::string_view passwordSoFar, const PasswordOptions& options)
{
    if (options.excludeSimilar && SimilarCharacters.find(candidate) != std::string_view::npos) {
        return false;
    }
    if (options.excludeDuplicate) {
        const std::size_t lookBack = std::min<std::size_t>(DuplicateLookBack, passwordSoFar.size());
        const std::string_view recent = passwordSoFar.substr(passwordSoFar.size() - lookBack);
        const char folded = FoldToLower(candidate);
        for (const char previous : recent) {
            if (FoldToLower(previous) == folded) {
                return false;
            }
        }
    }
    return true;
}

namespace {

char DrawCandidate(DrawSource& random, const PasswordOptions& options)
{
    switch (options.characterType) {
    case CharacterType::OnlyNumbers:
        return DrawDigit(random);
    case CharacterType::HexDigits:
        return DrawHexDigit(random, options.letterCase);
    case CharacterType::OnlyLetters:
        return DrawLetter(random, options.letterCase);
    case CharacterType::LettersAndNumbers:
        break;
    }
    return IsOdd(random.Next()) ? DrawLetter(random, options.letterCase) : DrawDigit(random);
}

} // namespace

char NextCharacter(DrawSource& random, const PasswordOptions& options,
                   std::string_view passwordSoFar)
{
    // A rejected candidate is thrown away whole, so the accepted characters
    // keep the draw's own distribution restricted to what is acceptable.
    for (;;) {
        const char candidate = DrawCandidate(random, options);
        if (IsAcceptable(candidate, passwordSoFar, options)) {
            return candidate;
        }
    }
}
