#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/alphabet.h"
#include "engine/password_count.h"
#include "engine/password_options.h"

// The passwords of the options' length that composition can give, counted
// exactly: the characters the draw formulas yield, less the look-alikes when
// they are excluded, under the five-position rule on folded characters. The
// word list and the passwords already made are left to the caller.
class PasswordSpace {
public:
    explicit PasswordSpace(const PasswordOptions& options);

    // The passwords of the length that the command line's rule gives: its
    // alphabet, the five-position rule if set, and with everyKind only those
    // holding every kind of the alphabet.
    PasswordSpace(const DrawRule& rule, std::size_t length);

    // The options' length; 0 for a length of 0 or less (one empty password).
    std::size_t Length() const { return length; }

    // How many different passwords the options allow.
    const PasswordCount& Size() const { return size; }

    // How many of them fold to the word under ASCII case folding, as the word
    // list's lookup folds a password: the product of its characters'
    // folded-class sizes when the word has the space's length, holds no
    // capital and passes the rules itself; 0 otherwise. With every kind
    // required, only the variants that hold every kind.
    PasswordCount Variants(std::string_view word) const;

private:
    // Of the word's 2^flexible variants (the letters that may take either
    // case), those that hold every required kind, the rest of the word
    // holding fixedKinds.
    PasswordCount WithEveryKind(unsigned fixedKinds, std::size_t flexible) const;

    std::array<std::uint8_t, 256> classSize;    // by folded byte
    std::array<std::uint8_t, 256> classKinds{}; // by folded byte: its members' kinds
    unsigned requiredKinds = 0;
    std::size_t length;
    bool excludeDuplicate;
    PasswordCount size;
};
