#include "engine/composer.h"

#include <charconv>

#include "engine/entropy.h"
#include "engine/phonetics.h"

std::string BuildPassword(DrawSource& random, const PasswordOptions& options)
{
    if (options.length <= 0) {
        return {};
    }
    std::string password(static_cast<std::size_t>(options.length), '\0');
    DrawCharacters(random, options, password.data(), password.size());
    return password;
}

PasswordRow MakePasswordRow(std::string password)
{
    PasswordRow row;
    row.entropyBits = EstimateEntropy(password);
    // "%d bit", without the cost of a formatted print for every password.
    char text[24];
    char* const end = std::to_chars(text, text + sizeof text, row.entropyBits).ptr;
    row.entropyText.assign(text, end);
    row.entropyText += " bit";
    row.phonetics = PhoneticSpelling(password);
    row.password = std::move(password);
    return row;
}

std::optional<PasswordRow> GeneratePassword(DrawSource& random, const PasswordOptions& options,
                                            const ExcludedWords& dictionary, PasswordList& list)
{
    for (int attempt = 0; attempt < kMaxCandidates; ++attempt) {
        std::string candidate = BuildPassword(random, options);
        // The dictionary is asked before the list is scanned.
        if (dictionary.Contains(candidate) || list.Contains(candidate)) {
            continue;
        }
        PasswordRow row = MakePasswordRow(std::move(candidate));
        list.Add(row);
        return row;
    }
    return std::nullopt;
}
