#include "engine/password_draw.h"

#include <algorithm>
#include <array>
#include <type_traits>
#include <typeinfo>

#include "engine/always_inline.h"
#include "engine/draw_formulas.h"
#include "engine/secure_random.h"

namespace {

using draw_formulas::Candidate;
using draw_formulas::WithDraw;

// The dialog's draw formulas: text[0] to text[length - 1] after the recent
// characters. A rejected candidate is thrown away whole, so the accepted
// characters keep the formulas' own distribution restricted to what is
// acceptable.
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

// One candidate of the table's draw: one index a candidate. Only an index
// past the table, the repeat rule's window and, given, the characters a
// password may not begin with can send it back. Inlined into the loop over
// the passwords, where the source's bits are a local copy: out of line,
// every character written could alias them, and they would be read from
// memory and written back for each draw.
template <typename Window, typename Source>
SORVANE_ALWAYS_INLINE char DrawOne(Source& random, const CandidateTable& table, unsigned size,
                                   int width, Window& window, const std::array<bool, 256>* notFirst)
{
    for (;;) {
        const unsigned index = TableIndex(random, width, size);
        if (index >= size || window.Holds(table.Folded(static_cast<int>(index)))) {
            continue;
        }
        const char candidate = table.At(static_cast<int>(index));
        if (notFirst == nullptr || !(*notFirst)[static_cast<unsigned char>(candidate)]) {
            window.Push(candidate);
            return candidate;
        }
    }
}

template <typename Window, typename Source>
SORVANE_ALWAYS_INLINE void DrawTableInto(Source& random, const CandidateTable& table, Window window,
                                         const std::array<bool, 256>* notFirst, char* text,
                                         std::size_t length)
{
    if (length == 0) {
        return;
    }
    // Copied: writing the text, which may alias anything, would otherwise
    // make the compiler read them again for every character.
    const auto size = static_cast<unsigned>(table.Size());
    const int width = table.Width();
    text[0] = DrawOne(random, table, size, width, window, notFirst);
    for (std::size_t i = 1; i < length; ++i) {
        text[i] = DrawOne(random, table, size, width, window, nullptr);
    }
}

// Calls visit(source) with the source as its final type when it is one of
// the program's two, so that the loop compiled for it inlines every draw and
// keeps the source's state in a local copy, which can live in registers. Asked
// once per call, not per draw; as both types are final, their type_info
// names the object's type exactly.
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

RecentCharacters RecentOf(std::string_view passwordSoFar, bool excludeDuplicate)
{
    RecentCharacters recent;
    if (excludeDuplicate) {
        const std::size_t lookBack = std::min<std::size_t>(DuplicateLookBack, passwordSoFar.size());
        for (const char c : passwordSoFar.substr(passwordSoFar.size() - lookBack)) {
            recent.Push(c);
        }
    }
    return recent;
}

} // namespace

PasswordDraw::PasswordDraw(const PasswordOptions& options)
    : table(&CandidateTable::For(options)), formulas(options),
      repeats(options.excludeDuplicate ? Repeats::NotWithinFive : Repeats::Allowed)
{
}

PasswordDraw::PasswordDraw(const DrawRule& rule)
    : parts(std::make_unique<const RuleParts>(
          RuleParts{rule, CandidateTable(rule.alphabet),
                    [&rule] {
                        for (int byte = 0; byte < 256; ++byte) {
                            if (rule.notFirst[static_cast<std::size_t>(byte)] &&
                                rule.alphabet.weight[static_cast<std::size_t>(byte)] != 0) {
                                return true;
                            }
                        }
                        return false;
                    }()})),
      table(&parts->table), repeats(rule.repeats)
{
}

void PasswordDraw::DrawFrom(DrawSource& random, const RecentCharacters& recent, char* texts,
                            std::size_t length, std::size_t count) const
{
    const std::array<bool, 256>* notFirst =
        parts && parts->anyNotFirst ? &parts->rule.notFirst : nullptr;
    WithSource(random, [&]<typename Source>(Source& source) {
        if constexpr (!std::is_same_v<Source, SecureRandomSource::Draws>) {
            if (formulas) {
                WithDraw(*formulas, [&]<CharacterType type, LetterCase letterCase>() {
                    for (std::size_t n = 0; n < count; ++n) {
                        DrawInto<type, letterCase>(source, *formulas, recent, texts + n * length,
                                                   length);
                    }
                });
                return;
            }
        }
        const auto each = [&](auto window) {
            for (std::size_t n = 0; n < count; ++n) {
                DrawTableInto(source, *table, window, notFirst, texts + n * length, length);
            }
        };
        switch (repeats) {
        case Repeats::NotWithinFive:
            each(recent);
            return;
        case Repeats::Never:
            each(UsedCharacters{});
            return;
        case Repeats::Allowed:
            each(NoCharacters{});
            return;
        }
    });
}

void PasswordDraw::RedrawForMinimums(DrawSource& random, char* texts, std::size_t length,
                                     std::size_t count) const
{
    for (std::size_t n = 0; n < count; ++n) {
        char* const text = texts + n * length;
        while (!parts->rule.HoldsMinimums(std::string_view(text, length))) {
            DrawFrom(random, RecentCharacters{}, text, length, 1);
        }
    }
}

void PasswordDraw::DrawAfter(DrawSource& random, const RecentCharacters& recent, char* text,
                             std::size_t length) const
{
    DrawFrom(random, recent, text, length, 1);
}

bool IsAcceptable(char candidate, std::string_view passwordSoFar, const PasswordOptions& options)
{
    return IsAcceptable(candidate, RecentOf(passwordSoFar, options.excludeDuplicate),
                        options.excludeSimilar);
}

char NextCharacter(DrawSource& random, const PasswordOptions& options,
                   std::string_view passwordSoFar)
{
    char next = '\0';
    PasswordDraw(options).DrawAfter(random, RecentOf(passwordSoFar, options.excludeDuplicate),
                                    &next, 1);
    return next;
}
