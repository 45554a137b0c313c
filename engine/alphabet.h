#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "engine/password_options.h"

// The kinds a password can be asked to hold one of each of.
enum class CharacterKind : int { Lower = 0, Upper = 1, Digit = 2, Symbol = 3 };

inline constexpr int kCharacterKinds = 4;

constexpr CharacterKind KindOf(char c)
{
    if (c >= 'a' && c <= 'z') {
        return CharacterKind::Lower;
    }
    if (c >= 'A' && c <= 'Z') {
        return CharacterKind::Upper;
    }
    if (c >= '0' && c <= '9') {
        return CharacterKind::Digit;
    }
    return CharacterKind::Symbol;
}

// One bit a kind, as the masks below hold them.
constexpr unsigned KindBit(char c)
{
    return 1u << static_cast<int>(KindOf(c));
}

// The characters a draw picks from, each with its weight: a candidate is the
// character c with chance weight[c] / Total(). A character of weight 0 is
// never drawn. The five-position rule, when it applies, then throws back a
// candidate that folds to one of the five before it, so the alphabet, that
// rule and the every-kind redraw are the whole description of a draw: the
// draw, its information figure and the count of its passwords all read it.
struct Alphabet {
    std::array<std::uint32_t, 256> weight{};

    std::uint32_t Total() const;
    // The kinds of the characters that can be drawn, one bit each.
    unsigned Kinds() const;
    // How many different characters can be drawn.
    int Size() const;
};

// The dialog's draw: the draw formulas' candidate chances, the look-alikes
// left out when the options exclude them (a look-alike candidate is drawn
// again, which is the same as never offering it), weights divided by their
// common factor.
Alphabet DialogAlphabet(const PasswordOptions& options);

// Every character of the set equally likely; repeats in the set count once.
Alphabet UniformAlphabet(std::string_view characters);

// How a password is drawn: candidates from the alphabet, the five-position
// rule or not, and with everyKind the whole password drawn again until it
// holds a character of every kind the alphabet has.
struct DrawRule {
    Alphabet alphabet;
    bool excludeDuplicate = true;
    bool everyKind = false;

    // The kinds every password holds: the alphabet's with everyKind, else none.
    unsigned RequiredKinds() const { return everyKind ? alphabet.Kinds() : 0u; }
};
