#include "engine/password_options.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace {

bool IsOdd(int draw)
{
    return (draw & 1) != 0;
}

// The acceptance test runs for every candidate of every position: both of its
// questions are answered by a table instead of a search.
struct CharacterTables {
    std::array<bool, 256> similar{};
    std::array<unsigned char, 256> folded{};

    constexpr CharacterTables()
    {
        for (int c = 0; c < 256; ++c) {
            folded[c] = static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
        }
        for (const char c : SimilarCharacters) {
            similar[static_cast<unsigned char>(c)] = true;
        }
    }
};

constexpr CharacterTables kTables;

unsigned char Fold(char c)
{
    return kTables.folded[static_cast<unsigned char>(c)];
}

char Digit(DrawSource& random)
{
    return static_cast<char>('0' + random.Next() % 10);
}

template <LetterCase letterCase>
char Letter(DrawSource& random)
{
    if constexpr (letterCase == LetterCase::LowerCase) {
        return static_cast<char>('a' + random.Next() % 26);
    } else if constexpr (letterCase == LetterCase::UpperCase) {
        return static_cast<char>('A' + random.Next() % 26);
    } else {
        const char first = IsOdd(random.Next()) ? 'A' : 'a';
        return static_cast<char>(first + random.Next() % 26);
    }
}

template <LetterCase letterCase>
char HexDigit(DrawSource& random)
{
    const int value = random.Next() % 16;
    if (value < 10) {
        return static_cast<char>('0' + value);
    }
    const char upper = static_cast<char>('A' + value - 10);
    const char lower = static_cast<char>('a' + value - 10);
    if constexpr (letterCase == LetterCase::LowerCase) {
        return lower;
    } else if constexpr (letterCase == LetterCase::UpperCase) {
        return upper;
    } else {
        return IsOdd(random.Next()) ? upper : lower;
    }
}

template <CharacterType type, LetterCase letterCase>
char Candidate(DrawSource& random)
{
    if constexpr (type == CharacterType::OnlyNumbers) {
        return Digit(random);
    } else if constexpr (type == CharacterType::HexDigits) {
        return HexDigit<letterCase>(random);
    } else if constexpr (type == CharacterType::OnlyLetters) {
        return Letter<letterCase>(random);
    } else {
        return IsOdd(random.Next()) ? Letter<letterCase>(random) : Digit(random);
    }
}

// Draws text[from] to text[to - 1], each by the draw of the options and the
// test of IsAcceptable given the positions before it. The characters that the
// five-position rule compares with are kept folded in a ring, so a candidate
// costs a table look-up and five comparisons. Candidates are digits and
// letters, never the zero byte that marks a slot as empty.
template <CharacterType type, LetterCase letterCase>
void DrawInto(DrawSource& random, const PasswordOptions& options, char* text, std::size_t from,
              std::size_t to)
{
    // Copied, so that writing the text (which may alias anything) does not
    // make the compiler read them again for every candidate.
    const bool excludeSimilar = options.excludeSimilar;
    const bool excludeDuplicate = options.excludeDuplicate;
    unsigned char recent[DuplicateLookBack] = {};
    std::size_t next = 0;
    if (excludeDuplicate) {
        for (std::size_t i = from - std::min<std::size_t>(DuplicateLookBack, from); i < from; ++i) {
            recent[next] = Fold(text[i]);
            next = (next + 1) % DuplicateLookBack;
        }
    }
    for (std::size_t i = from; i < to; ++i) {
        // A rejected candidate is thrown away whole, so the accepted
        // characters keep the draw's own distribution restricted to what is
        // acceptable.
        char candidate;
        for (;;) {
            candidate = Candidate<type, letterCase>(random);
            if (excludeSimilar && kTables.similar[static_cast<unsigned char>(candidate)]) {
                continue;
            }
            const unsigned char folded = Fold(candidate);
            if ((recent[0] == folded) | (recent[1] == folded) | (recent[2] == folded) |
                (recent[3] == folded) | (recent[4] == folded)) {
                continue;
            }
            break;
        }
        text[i] = candidate;
        if (excludeDuplicate) {
            recent[next] = Fold(candidate);
            next = (next + 1) % DuplicateLookBack;
        }
    }
}

// Calls visit.operator()<type, letterCase>() for the options' draw. The
// choice is made once, outside the loops over positions and candidates.
template <CharacterType type, typename Visitor>
auto WithLetterCase(LetterCase letterCase, Visitor&& visit)
{
    switch (letterCase) {
    case LetterCase::LowerCase:
        return visit.template operator()<type, LetterCase::LowerCase>();
    case LetterCase::UpperCase:
        return visit.template operator()<type, LetterCase::UpperCase>();
    case LetterCase::MixCase:
        break;
    }
    return visit.template operator()<type, LetterCase::MixCase>();
}

template <typename Visitor>
auto WithDraw(const PasswordOptions& options, Visitor&& visit)
{
    switch (options.characterType) {
    case CharacterType::OnlyNumbers:
        return WithLetterCase<CharacterType::OnlyNumbers>(options.letterCase, visit);
    case CharacterType::HexDigits:
        return WithLetterCase<CharacterType::HexDigits>(options.letterCase, visit);
    case CharacterType::OnlyLetters:
        return WithLetterCase<CharacterType::OnlyLetters>(options.letterCase, visit);
    case CharacterType::LettersAndNumbers:
        break;
    }
    return WithLetterCase<CharacterType::LettersAndNumbers>(options.letterCase, visit);
}

} // namespace

char DrawDigit(DrawSource& random)
{
    return Digit(random);
}

char DrawLetter(DrawSource& random, LetterCase letterCase)
{
    switch (letterCase) {
    case LetterCase::LowerCase:
        return Letter<LetterCase::LowerCase>(random);
    case LetterCase::UpperCase:
        return Letter<LetterCase::UpperCase>(random);
    case LetterCase::MixCase:
        break;
    }
    return Letter<LetterCase::MixCase>(random);
}

char DrawHexDigit(DrawSource& random, LetterCase letterCase)
{
    switch (letterCase) {
    case LetterCase::LowerCase:
        return HexDigit<LetterCase::LowerCase>(random);
    case LetterCase::UpperCase:
        return HexDigit<LetterCase::UpperCase>(random);
    case LetterCase::MixCase:
        break;
    }
    return HexDigit<LetterCase::MixCase>(random);
}

bool IsAcceptable(char candidate, std::string_view passwordSoFar, const PasswordOptions& options)
{
    if (options.excludeSimilar && kTables.similar[static_cast<unsigned char>(candidate)]) {
        return false;
    }
    if (options.excludeDuplicate) {
        const std::size_t lookBack = std::min<std::size_t>(DuplicateLookBack, passwordSoFar.size());
        const char* const end = passwordSoFar.data() + passwordSoFar.size();
        const unsigned char folded = Fold(candidate);
        for (const char* previous = end - lookBack; previous != end; ++previous) {
            if (Fold(*previous) == folded) {
                return false;
            }
        }
    }
    return true;
}

char NextCharacter(DrawSource& random, const PasswordOptions& options,
                   std::string_view passwordSoFar)
{
    std::string text(passwordSoFar);
    text.push_back('\0');
    WithDraw(options, [&]<CharacterType type, LetterCase letterCase>() {
        DrawInto<type, letterCase>(random, options, text.data(), passwordSoFar.size(), text.size());
    });
    return text.back();
}

void DrawCharacters(DrawSource& random, const PasswordOptions& options, char* text,
                    std::size_t length)
{
    WithDraw(options, [&]<CharacterType type, LetterCase letterCase>() {
        DrawInto<type, letterCase>(random, options, text, 0, length);
    });
}
