#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/password_count.h"
#include "engine/password_options.h"

// The passwords of the options' length that composition can give, counted
// exactly: the characters the draw formulas yield, less the look-alikes when
// they are excluded, under the five-position rule on folded characters. The
// word list and the passwords already made are left to the caller.
class PasswordSpace {
public:
    explicit PasswordSpace(const PasswordOptions& options);

    // The options' length; 0 for a length of 0 or less (one empty password).
    std::size_t Length() const { return length; }

    // How many different passwords the options allow.
    const PasswordCount& Size() const { return size; }

    // How many of them fold to the word under ASCII case folding, as the word
    // list's lookup folds a password: the product of its characters'
    // folded-class sizes when the word has the space's length, holds no
    // capital and passes the rules itself; 0 otherwise.
    PasswordCount Variants(std::string_view word) const;

private:
    std::array<std::uint8_t, 256> classSize; // by folded byte
    std::size_t length;
    bool excludeDuplicate;
    PasswordCount size;
};
