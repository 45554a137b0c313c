#pragma once

// The dialog's draw formulas and the choice of the loop compiled for the
// options. The seeded generator draws through them (password_draw.cpp), so a
// seed gives the runtime library's passwords exactly; the dialog's rule
// (draw_rule.cpp) enumerates their outcomes to weigh each character, which
// is all the secure draw and every figure read.

#include "engine/password_options.h"

namespace draw_formulas {

// The draw formulas. Each takes its source by the source's own type, so a
// draw from either of the program's final sources is an inlined call. A
// choice of two reads "odd" as 1: rand() % 2 is odd exactly when rand() is.

template <typename Source>
char DrawDigit(Source& random)
{
    return static_cast<char>('0' + random.Below(10));
}

template <LetterCase letterCase, typename Source>
char DrawLetter(Source& random)
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
char DrawHexDigit(Source& random)
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
        return DrawDigit(random);
    } else if constexpr (type == CharacterType::HexDigits) {
        return DrawHexDigit<letterCase>(random);
    } else if constexpr (type == CharacterType::OnlyLetters) {
        return DrawLetter<letterCase>(random);
    } else {
        return random.Below(2) == 1 ? DrawLetter<letterCase>(random) : DrawDigit(random);
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

} // namespace draw_formulas
