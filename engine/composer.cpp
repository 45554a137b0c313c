#include "engine/composer.h"

#include <charconv>
#include <typeinfo>

#include "engine/entropy.h"
#include "engine/password_draw.h"

namespace {

// Rates and spells the row's password into the row's other cells.
void CompleteRow(PasswordRow& row)
{
    const std::string_view password = row.password;
    row.entropyBits = EstimateEntropy(password);
    // "%d bit", without the cost of a formatted print for every password.
    char text[24];
    char* end = std::to_chars(text, text + sizeof text, row.entropyBits).ptr;
    for (const char c : std::string_view(" bit")) {
        *end++ = c;
    }
    row.entropyText.assign(std::string_view(text, static_cast<std::size_t>(end - text)));
    char* const spelling = row.phonetics.Resize(SpellingRoom(password.size()));
    row.phonetics.Shrink(SpellInto(password, spelling));
}

// The seeded generator runs through a cycle of states: once its state at a
// candidate's start comes round again, every candidate after it is one
// already rejected. Brent's method sees the first repeat whatever the
// cycle's start and length; it starts at the first rejection, so a candidate
// taken at once costs nothing. The secure source never repeats.
class SeededRepeat {
public:
    // Asked after each rejected candidate.
    bool CameRound(const DrawSource& random)
    {
        if (steps == 0) {
            seeded = typeid(random) == typeid(RandomSource)
                         ? static_cast<const RandomSource*>(&random)
                         : nullptr;
            mark = seeded != nullptr ? seeded->State() : 0;
        } else if (seeded != nullptr && seeded->State() == mark) {
            return true;
        }
        if (++steps == span) {
            mark = seeded != nullptr ? seeded->State() : 0;
            span *= 2;
        }
        return false;
    }

private:
    const RandomSource* seeded = nullptr;
    std::uint32_t mark = 0;
    std::uint64_t steps = 0;
    std::uint64_t span = 2;
};

} // namespace

std::string BuildPassword(DrawSource& random, const PasswordOptions& options)
{
    if (options.length <= 0) {
        return {};
    }
    std::string password(static_cast<std::size_t>(options.length), '\0');
    PasswordDraw(options).Draw(random, password.data(), password.size(), 1);
    return password;
}

PasswordRow MakePasswordRow(std::string_view password)
{
    PasswordRow row;
    row.password = password;
    CompleteRow(row);
    return row;
}

std::optional<PasswordRow> GeneratePassword(DrawSource& random, const PasswordOptions& options,
                                            const ExcludedWords& dictionary, PasswordList& list)
{
    // Candidates are drawn straight into the row that is returned, and every
    // return names it, so the row is built where the caller keeps it.
    std::optional<PasswordRow> result(std::in_place);
    PasswordRow& row = *result;
    const PasswordDraw draw(options);
    const std::size_t length = options.length > 0 ? static_cast<std::size_t>(options.length) : 0;
    char* const text = row.password.Resize(length);
    SeededRepeat repeat;
    for (;;) {
        draw.Draw(random, text, length, 1);
        // The dictionary is asked before the list is scanned.
        if (!dictionary.Contains(row.password) && !list.Contains(row.password)) {
            break;
        }
        if (repeat.CameRound(random)) {
            result.reset();
            return result;
        }
    }
    CompleteRow(row);
    list.Add(row);
    return result;
}
