#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/draw_rule.h"
#include "engine/password_count.h"

// The passwords of one length that a rule gives, counted exactly: with
// everyKind only those holding every kind of the alphabet. The word list and
// the passwords already made are left to the caller.
class PasswordSpace {
public:
    // A length of 0 has one password, the empty one.
    PasswordSpace(const DrawRule& rule, std::size_t length);

    // How many different passwords the rule gives.
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

    std::array<FoldedClass, 256> classes; // by folded byte
    unsigned requiredKinds;
    std::size_t length;
    bool excludeDuplicate;
    PasswordCount size;
};
