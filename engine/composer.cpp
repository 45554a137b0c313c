#include "engine/composer.h"

#include <charconv>

#include "engine/entropy.h"

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

// One candidate into password, made the options' length; whether it is
// neither an excluded word nor already listed.
bool DrawCandidate(DrawSource& random, const PasswordOptions& options,
                   const ExcludedWords& dictionary, const PasswordList& list,
                   RowText<PasswordOptions::kMaxLength>& password)
{
    const std::size_t length = options.length > 0 ? static_cast<std::size_t>(options.length) : 0;
    DrawCharacters(random, options, password.Resize(length), length);
    // The dictionary is asked before the list is scanned.
    return !dictionary.Contains(password) && !list.Contains(password);
}

} // namespace

std::string BuildPassword(DrawSource& random, const PasswordOptions& options)
{
    if (options.length <= 0) {
        return {};
    }
    std::string password(static_cast<std::size_t>(options.length), '\0');
    DrawCharacters(random, options, password.data(), password.size());
    return password;
}

PasswordRow MakePasswordRow(std::string_view password)
{
    PasswordRow row;
    row.password = password;
    CompleteRow(row);
    return row;
}

bool DrawNewPassword(DrawSource& random, const PasswordOptions& options,
                     const ExcludedWords& dictionary, const PasswordList& list,
                     RowText<PasswordOptions::kMaxLength>& password)
{
    for (int attempt = 0; attempt < kMaxCandidates; ++attempt) {
        if (DrawCandidate(random, options, dictionary, list, password)) {
            return true;
        }
    }
    return false;
}

void DrawRemainingPassword(DrawSource& random, const PasswordOptions& options,
                           const ExcludedWords& dictionary, const PasswordList& list,
                           RowText<PasswordOptions::kMaxLength>& password)
{
    while (!DrawCandidate(random, options, dictionary, list, password)) {
    }
}

std::optional<PasswordRow> GeneratePassword(DrawSource& random, const PasswordOptions& options,
                                            const ExcludedWords& dictionary, PasswordList& list)
{
    // Candidates are drawn straight into the row that is returned, and every
    // return names it, so the row is built where the caller keeps it.
    std::optional<PasswordRow> result(std::in_place);
    PasswordRow& row = *result;
    if (!DrawNewPassword(random, options, dictionary, list, row.password)) {
        result.reset();
        return result;
    }
    CompleteRow(row);
    list.Add(row);
    return result;
}
