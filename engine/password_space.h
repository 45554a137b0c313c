#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/draw_rule.h"
#include "engine/password_count.h"

// The passwords of one length that a rule gives, counted exactly: with
// minimums of a kind only those holding them. The word list and the
// passwords already made are left to the caller.
class PasswordSpace {
public:
    // A length of 0 has one password, the empty one.
    PasswordSpace(const DrawRule& rule, std::size_t length);

    // How many different passwords the rule gives.
    const PasswordCount& Size() const { return size; }

    // How many of them fold to the word under ASCII case folding, as the word
    // list's lookup folds a password: when the word has the space's length,
    // holds no capital and passes the rules itself, the ways to give each of
    // its letters a case the rule allows and still hold the minimums; 0
    // otherwise.
    PasswordCount Variants(std::string_view word) const;

private:
    // Whether the folded word keeps the repeat rule.
    template <typename Window>
    static bool KeepsRepeatRule(std::string_view word);
    // Of the 2^flexible ways to give each letter that may take either case
    // a case, those that hold every minimum beside the fixed kinds.
    PasswordCount CaseChoices(const std::array<int, kCharacterKinds>& fixed, int flexible) const;

    DrawRule rule;
    std::array<FoldedClass, 256> classes; // by folded byte
    std::size_t length;
    PasswordCount size;
};
