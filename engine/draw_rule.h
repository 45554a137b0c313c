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

// KindBit by byte, for loops over every character of many passwords.
inline constexpr std::array<std::uint8_t, 256> kKindBits = [] {
    std::array<std::uint8_t, 256> bits{};
    for (int byte = 0; byte < 256; ++byte) {
        bits[static_cast<std::size_t>(byte)] =
            static_cast<std::uint8_t>(KindBit(static_cast<char>(byte)));
    }
    return bits;
}();

// The characters a draw picks from, each with its weight: a candidate is the
// character c with chance weight[c] / Total(). The weights have no common
// factor; a character of weight 0 is never drawn, and the zero byte never is.
struct Alphabet {
    std::array<std::uint32_t, 256> weight{};

    std::uint32_t Total() const;
    // The kinds of the characters that can be drawn, one bit each.
    unsigned Kinds() const;
};

// How far back a new character must differ, folded, from those before it.
enum class Repeats {
    Allowed,
    NotWithinFive, // the last DuplicateLookBack characters
    Never,         // every character before it
};

// How a password is drawn, described once: candidates from the alphabet, a
// candidate thrown back when the repeat rule or the first position refuses
// it, and the whole password drawn again until it holds at least the
// minimum of each kind. The draw's table, the exact count of its passwords,
// their information figure and the walk over all of them are each computed
// from this value alone, for the dialog and the command line alike.
struct DrawRule {
    Alphabet alphabet;
    Repeats repeats = Repeats::NotWithinFive;
    // By CharacterKind: the fewest characters of the kind a password holds.
    std::array<int, kCharacterKinds> atLeast{};
    // By byte: the characters a password may not begin with.
    std::array<bool, 256> notFirst{};

    // At least count characters of every kind the alphabet has.
    void RequireEachKind(int count);
    // Whether a password is drawn again until it holds the minimums.
    bool HasMinimums() const;
    // Whether the text holds the minimum of every kind.
    bool HoldsMinimums(std::string_view text) const;
};

// The dialog's draw: each candidate with the chance its draw formulas give
// it (enumerated from the formulas themselves), the look-alikes left out when
// the options exclude them (a look-alike candidate is drawn again, which is
// the same as never offering it).
DrawRule DialogRule(const PasswordOptions& options);

// Every character of the set equally likely; repeats in the set count once.
DrawRule CharacterSetRule(std::string_view characters, Repeats repeats);

// A class of folded characters, what the repeat rule takes out of the draw
// while one of its members is among the characters before: its members (a
// small letter and its capital, or one character), their kinds and the sum
// of their weights.
struct FoldedClass {
    int size = 0;
    std::array<char, 2> members{};
    unsigned kinds = 0;
    std::uint32_t weight = 0;
};

// The alphabet's classes by folded byte; an empty class where none folds.
std::array<FoldedClass, 256> FoldedClasses(const Alphabet& alphabet);
