#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/password_options.h"
#include "engine/phonetics.h"
#include "engine/random_source.h"
#include "engine/row_text.h"

// Words a password must not be (the exclusion dictionary).
class ExcludedWords {
public:
    virtual bool Contains(std::string_view password) const = 0;
    // Starts reading where Contains will look for the password, for a caller
    // that asks about many candidates and can ask this well before.
    virtual void Prefetch(std::string_view) const {}

protected:
    ~ExcludedWords() = default;
};

// One finished password as the list shows it. The texts live inside the row
// (RowText), so a row costs no heap for any length the dialog offers.
struct PasswordRow {
    // Provided, so that a row made as PasswordRow() (std::optional does)
    // is not first cleared whole, buffers included.
    PasswordRow() {}

    RowText<PasswordOptions::kMaxLength> password;
    int entropyBits = 0;
    RowText<15> entropyText; // "%d bit", at most "-2147483648 bit"
    RowText<SpellingRoom(PasswordOptions::kMaxLength)> phonetics;
};

// The list the batch's passwords go to.
class PasswordList {
public:
    virtual bool Contains(std::string_view password) const = 0;
    // Files the row and selects it, cells complete before anyone is told.
    virtual void Add(const PasswordRow& row) = 0;

protected:
    ~PasswordList() = default;
};

// Exactly options.length characters; empty when the length is 0 or less.
std::string BuildPassword(DrawSource& random, const PasswordOptions& options);

// The row of a password: its entropy as "%d bit" and its spelling.
PasswordRow MakePasswordRow(std::string_view password);

// Draws candidates until one is neither an excluded word nor already listed,
// then rates and spells it, adds its row to the list and returns it. There
// is no bound on the candidates: the caller has counted that a password
// remains (PasswordsLeft), and it comes out exactly as a fresh draw would,
// given that it is new. The seeded generator alone can cycle without ever
// giving the one left; nothing is answered when its sequence comes round.
std::optional<PasswordRow> GeneratePassword(DrawSource& random, const PasswordOptions& options,
                                            const ExcludedWords& dictionary, PasswordList& list);
