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
// weight's chance; the repeat rule, and at the first position the characters
// a password may not begin with, send a candidate back. The dialog's draw
// keeps its draw formulas for every other source: the seeded generator
// replays the runtime library's passwords exactly, draw for draw. A password
// short of a kind's minimum is drawn again whole, never patched in a fixed
// place, so every password that holds them keeps its chance relative to the
// others.
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
        if (parts && parts->rule.HasMinimums()) {
            RedrawForMinimums(random, texts, length, count);
        }
    }

    // One password of the dialog's draw, of length characters, that goes on
    // after the recent ones.
    void DrawAfter(DrawSource& random, const RecentCharacters& recent, char* text,
                   std::size_t length) const;

private:
    // What a rule's draw keeps beside its table.
    struct RuleParts {
        DrawRule rule;
        CandidateTable table;
        bool anyNotFirst;
    };

    // count passwords after the same recent characters, without the redraw
    // for the minimums.
    void DrawFrom(DrawSource& random, const RecentCharacters& recent, char* texts,
                  std::size_t length, std::size_t count) const;
    // Draws each password again, whole, until it holds the minimums.
    void RedrawForMinimums(DrawSource& random, char* texts, std::size_t length,
                           std::size_t count) const;

    std::unique_ptr<const RuleParts> parts; // a rule's draw only
    const CandidateTable* table;
    std::optional<PasswordOptions> formulas; // the dialog's draw only
    Repeats repeats;
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
