#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "engine/candidate_table.h"
#include "engine/draw_rule.h"
#include "engine/random_source.h"

// How passwords are drawn. The secure source takes one index a candidate into
// the table of the rule's alphabet, so each character comes with exactly its
// weight's chance, and the five-position rule sends a candidate back. The
// dialog's draw keeps its draw formulas for every other source: the seeded
// generator replays the runtime library's passwords exactly, draw for draw.
// With every kind required, a password that lacks one is drawn again whole,
// never patched in a fixed place, so every password that holds them all
// keeps its chance relative to the others.
class PasswordDraw {
public:
    // The dialog's draw: the rule of the options.
    explicit PasswordDraw(const PasswordOptions& options);
    // A rule's draw, the same for every source.
    explicit PasswordDraw(const DrawRule& rule);

    // count passwords of length characters, one after another from texts on.
    void Draw(DrawSource& random, char* texts, std::size_t length, std::size_t count) const
    {
        DrawFrom(random, RecentCharacters{}, texts, length, count);
        if (requiredKinds != 0) {
            RedrawForEveryKind(random, texts, length, count);
        }
    }

    // One password of length characters that goes on after the recent ones,
    // without the every-kind redraw.
    void DrawAfter(DrawSource& random, const RecentCharacters& recent, char* text,
                   std::size_t length) const;

private:
    // count passwords after the same recent characters, without the
    // every-kind redraw.
    void DrawFrom(DrawSource& random, const RecentCharacters& recent, char* texts,
                  std::size_t length, std::size_t count) const;
    // Draws each password again, whole, until it holds every required kind.
    void RedrawForEveryKind(DrawSource& random, char* texts, std::size_t length,
                            std::size_t count) const;
    bool HoldsEveryKind(const char* text, std::size_t length) const;

    std::unique_ptr<const CandidateTable> ownTable;
    const CandidateTable* table;
    std::optional<PasswordOptions> formulas;
    bool excludeDuplicate;
    unsigned requiredKinds;
};

// Whether the candidate may follow the password so far under the dialog's
// options: no look-alike when they are excluded, and under the five-position
// rule none that folds to one of the last five characters.
bool IsAcceptable(char candidate, std::string_view passwordSoFar, const PasswordOptions& options);

// The next character of the dialog's draw after the password so far. The
// number and order of draws is fixed: the same source state and options
// always give the same character.
char NextCharacter(DrawSource& random, const PasswordOptions& options,
                   std::string_view passwordSoFar);
