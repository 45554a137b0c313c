#include "engine/composer.h"

#include <cstdio>

#include "engine/entropy.h"
#include "engine/phonetics.h"

std::string BuildPassword(DrawSource& random, const PasswordOptions& options)
{
    std::string password;
    if (options.length <= 0) {
        return password;
    }
    password.reserve(static_cast<std::size_t>(options.length));
    for (int i = 0; i < options.length; ++i) {
        password += NextCharacter(random, options, password);
    }
    return password;
}

PasswordRow MakePasswordRow(std::string password)
{
    PasswordRow row;
    row.entropyBits = EstimateEntropy(password);
    char text[24];
    std::snprintf(text, sizeof text, "%d bit", row.entropyBits);
    row.entropyText = text;
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
