#include "engine/password_options.h"

#include <algorithm>
#include <typeinfo>

#include "engine/secure_random.h"

namespace {

// The draw formulas. Each takes its source by the source's own type, so a
// draw from either of the program's final sources is an inlined call. A
// choice of two reads "odd" as 1: rand() % 2 is odd exactly when rand() is.

template <typename Source>
char Digit(Source& random)
{
    return static_cast<char>('0' + random.Below(10));
}

template <LetterCase letterCase, typename Source>
char Letter(Source& random)
{
    if constexpr (letterCase == LetterCase::LowerCase) {
        return static_cast<char>('a' + random.Below(26));
    } else if constexpr (letterCase == LetterCase::UpperCase) {
        return static_cast<char>('A' + random.Below(26));
    } else {
        const char first = random.Below(2) == 1 ? 'A' : 'a';
        return static_cast<char>(first + random.Below(26));
    }
}

template <LetterCase letterCase, typename Source>
char HexDigit(Source& random)
{
    const int value = random.Below(16);
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
        return random.Below(2) == 1 ? upper : lower;
    }
}

template <CharacterType type, LetterCase letterCase, typename Source>
char Candidate(Source& random)
{
    if constexpr (type == CharacterType::OnlyNumbers) {
        return Digit(random);
    } else if constexpr (type == CharacterType::HexDigits) {
        return HexDigit<letterCase>(random);
    } else if constexpr (type == CharacterType::OnlyLetters) {
        return Letter<letterCase>(random);
    } else {
        return random.Below(2) == 1 ? Letter<letterCase>(random) : Digit(random);
    }
}

// Draws text[0] to text[length - 1] after the recent characters. A rejected
// candidate is thrown away whole, so the accepted characters keep the draw's
// own distribution restricted to what is acceptable.
template <CharacterType type, LetterCase letterCase, typename Source>
void DrawInto(Source& random, const PasswordOptions& options, RecentCharacters recent, char* text,
              std::size_t length)
{
    // Copied, so that writing the text (which may alias anything) does not
    // make the compiler read them again for every candidate.
    const bool excludeSimilar = options.excludeSimilar;
    const bool excludeDuplicate = options.excludeDuplicate;
    for (std::size_t i = 0; i < length; ++i) {
        char candidate;
        do {
            candidate = Candidate<type, letterCase>(random);
        } while (!IsAcceptable(candidate, recent, excludeSimilar));
        text[i] = candidate;
        if (excludeDuplicate) {
            recent.Push(candidate);
        }
    }
}

// Calls visit.operator()<type, letterCase>() for the options' draw. The
// choice is made once, outside the loops over positions and candidates. An
// unknown stored value draws as the last one of its list.
template <CharacterType type, typename Visitor>
void WithLetterCase(LetterCase letterCase, Visitor&& visit)
{
    if constexpr (type == CharacterType::OnlyNumbers) {
        // Digits have no case: one loop serves every setting.
        visit.template operator()<type, LetterCase::LowerCase>();
    } else if (letterCase == LetterCase::LowerCase) {
        visit.template operator()<type, LetterCase::LowerCase>();
    } else if (letterCase == LetterCase::UpperCase) {
        visit.template operator()<type, LetterCase::UpperCase>();
    } else {
        visit.template operator()<type, LetterCase::MixCase>();
    }
}

template <typename Visitor>
void WithDraw(const PasswordOptions& options, Visitor&& visit)
{
    switch (options.characterType) {
    case CharacterType::OnlyNumbers:
        WithLetterCase<CharacterType::OnlyNumbers>(options.letterCase, visit);
        return;
    case CharacterType::HexDigits:
        WithLetterCase<CharacterType::HexDigits>(options.letterCase, visit);
        return;
    case CharacterType::OnlyLetters:
        WithLetterCase<CharacterType::OnlyLetters>(options.letterCase, visit);
        return;
    case CharacterType::LettersAndNumbers:
        break;
    }
    WithLetterCase<CharacterType::LettersAndNumbers>(options.letterCase, visit);
}

// Calls visit(source) with the source as its final type when it is one of
// the program's two, so that the loop compiled for it inlines every draw and
// keeps the source's state in a local copy, which can live in registers. Asked
// once per call of the composition, not per draw; as both types are final,
// their type_info names the object's type exactly.
template <typename Visitor>
void WithSource(DrawSource& random, Visitor&& visit)
{
    const std::type_info& type = typeid(random);
    if (type == typeid(SecureRandomSource)) {
        SecureRandomSource::Draws draws(static_cast<SecureRandomSource&>(random));
        visit(draws);
    } else if (type == typeid(RandomSource)) {
        auto& seeded = static_cast<RandomSource&>(random);
        RandomSource copy = seeded;
        visit(copy);
        seeded = copy;
    } else {
        visit(random);
    }
}

void Draw(DrawSource& random, const PasswordOptions& options, const RecentCharacters& recent,
          char* text, std::size_t length)
{
    WithSource(random, [&](auto& source) {
        WithDraw(options, [&]<CharacterType type, LetterCase letterCase>() {
            DrawInto<type, letterCase>(source, options, recent, text, length);
        });
    });
}

RecentCharacters RecentOf(std::string_view passwordSoFar, const PasswordOptions& options)
{
    RecentCharacters recent;
    if (options.excludeDuplicate) {
        const std::size_t lookBack = std::min<std::size_t>(DuplicateLookBack, passwordSoFar.size());
        for (const char c : passwordSoFar.substr(passwordSoFar.size() - lookBack)) {
            recent.Push(c);
        }
    }
    return recent;
}

} // namespace

bool IsAcceptable(char candidate, std::string_view passwordSoFar, const PasswordOptions& options)
{
    return IsAcceptable(candidate, RecentOf(passwordSoFar, options), options.excludeSimilar);
}

char NextCharacter(DrawSource& random, const PasswordOptions& options,
                   std::string_view passwordSoFar)
{
    char next = '\0';
    Draw(random, options, RecentOf(passwordSoFar, options), &next, 1);
    return next;
}

void DrawCharacters(DrawSource& random, const PasswordOptions& options, char* text,
                    std::size_t length)
{
    Draw(random, options, RecentCharacters{}, text, length);
}
