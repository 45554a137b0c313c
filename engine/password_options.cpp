#include "engine/password_options.h"

#include <algorithm>
#include <type_traits>
#include <typeinfo>

#include "engine/always_inline.h"
#include "engine/candidate_table.h"
#include "engine/draw_formulas.h"
#include "engine/secure_random.h"

namespace {

using draw_formulas::Candidate;
using draw_formulas::WithDraw;

// Draws text[0] to text[length - 1] after the recent characters. A rejected
// candidate is thrown away whole, so the accepted characters keep the draw's
// own distribution restricted to what is acceptable.
template <CharacterType type, LetterCase letterCase, typename Source>
void DrawInto(Source& random, const PasswordOptions& options, RecentCharacters recent, char* text,
              std::size_t length)
{
    // Copied, so that writing the text (which may alias anything) does not
    // make the compiler read them again for every candidate.
    const bool excludeSimilar = options.excludeSimilar;
    const bool excludeDuplicate = options.excludeDuplicate;
    for (std::size_t i = 0; i < length; ++i) {
        char candidate;
        do {
            candidate = Candidate<type, letterCase>(random);
        } while (!IsAcceptable(candidate, recent, excludeSimilar));
        text[i] = candidate;
        if (excludeDuplicate) {
            recent.Push(candidate);
        }
    }
}

// One index below the table's size: the secure source takes the table's
// width of bits and sends an index past the table back with the candidate;
// any other source answers Below(size).
template <typename Source>
unsigned TableIndex(Source& random, int width, unsigned size)
{
    if constexpr (std::is_same_v<Source, SecureRandomSource::Draws>) {
        return random.Take(width);
    } else {
        (void)width;
        return static_cast<unsigned>(random.Below(static_cast<int>(size)));
    }
}

// The table's draw: one index a candidate. The table holds no look-alike
// when they are excluded, so only an index past the table and the
// five-position rule can still send a candidate back. Inlined into the loop
// over the passwords, where the source's bits are a local copy: out of line,
// every character written could alias them, and they would be read from
// memory and written back for each draw.
template <typename Source>
SORVANE_ALWAYS_INLINE void DrawTableInto(Source& random, const CandidateTable& table,
                                         bool excludeDuplicate, RecentCharacters recent, char* text,
                                         std::size_t length)
{
    const auto size = static_cast<unsigned>(table.Size());
    const int width = table.Width();
    for (std::size_t i = 0; i < length; ++i) {
        unsigned index;
        do {
            index = TableIndex(random, width, size);
        } while (index >= size || recent.Holds(table.Folded(static_cast<int>(index))));
        const char candidate = table.At(static_cast<int>(index));
        text[i] = candidate;
        if (excludeDuplicate) {
            recent.Push(candidate);
        }
    }
}

// Calls visit(source) with the source as its final type when it is one of
// the program's two, so that the loop compiled for it inlines every draw and
// keeps the source's state in a local copy, which can live in registers. Asked
// once per call of the composition, not per draw; as both types are final,
// their type_info names the object's type exactly.
template <typename Visitor>
void WithSource(DrawSource& random, Visitor&& visit)
{
    const std::type_info& type = typeid(random);
    if (type == typeid(SecureRandomSource)) {
        SecureRandomSource::Draws draws(static_cast<SecureRandomSource&>(random));
        visit(draws);
    } else if (type == typeid(RandomSource)) {
        auto& seeded = static_cast<RandomSource&>(random);
        RandomSource copy = seeded;
        visit(copy);
        seeded = copy;
    } else {
        visit(random);
    }
}

// count passwords of length characters, one after another from text on; the
// first (and with a count of one, only) password goes on after recent.
void Draw(DrawSource& random, const PasswordOptions& options, const RecentCharacters& recent,
          char* text, std::size_t length, std::size_t count)
{
    WithSource(random, [&]<typename Source>(Source& source) {
        if constexpr (std::is_same_v<Source, SecureRandomSource::Draws>) {
            const CandidateTable& table = CandidateTable::For(options);
            for (std::size_t n = 0; n < count; ++n) {
                DrawTableInto(source, table, options.excludeDuplicate, recent, text + n * length,
                              length);
            }
        } else {
            WithDraw(options, [&]<CharacterType type, LetterCase letterCase>() {
                for (std::size_t n = 0; n < count; ++n) {
                    DrawInto<type, letterCase>(source, options, recent, text + n * length, length);
                }
            });
        }
    });
}

RecentCharacters RecentOf(std::string_view passwordSoFar, const PasswordOptions& options)
{
    RecentCharacters recent;
    if (options.excludeDuplicate) {
        const std::size_t lookBack = std::min<std::size_t>(DuplicateLookBack, passwordSoFar.size());
        for (const char c : passwordSoFar.substr(passwordSoFar.size() - lookBack)) {
            recent.Push(c);
        }
    }
    return recent;
}

} // namespace

bool IsAcceptable(char candidate, std::string_view passwordSoFar, const PasswordOptions& options)
{
    return IsAcceptable(candidate, RecentOf(passwordSoFar, options), options.excludeSimilar);
}

char NextCharacter(DrawSource& random, const PasswordOptions& options,
                   std::string_view passwordSoFar)
{
    char next = '\0';
    Draw(random, options, RecentOf(passwordSoFar, options), &next, 1, 1);
    return next;
}

void DrawCharacters(DrawSource& random, const PasswordOptions& options, char* text,
                    std::size_t length)
{
    Draw(random, options, RecentCharacters{}, text, length, 1);
}

void DrawPasswords(DrawSource& random, const PasswordOptions& options, char* texts,
                   std::size_t length, std::size_t count)
{
    Draw(random, options, RecentCharacters{}, texts, length, count);
}

void DrawFromTable(DrawSource& random, const CandidateTable& table, bool excludeDuplicate,
                   char* texts, std::size_t length, std::size_t count)
{
    WithSource(random, [&]<typename Source>(Source& source) {
        for (std::size_t n = 0; n < count; ++n) {
            DrawTableInto(source, table, excludeDuplicate, RecentCharacters{}, texts + n * length,
                          length);
        }
    });
}
