#include "batch/excluded_passwords.h"

#include "engine/password_set.h"

PasswordCount ExcludedPasswords(const ExclusionDictionary& dictionary, const PasswordSpace& space)
{
    PasswordCount excluded;
    const WordTable* table = dictionary.Table();
    if (!table) {
        return excluded;
    }
    // The table keeps a word as often as the file lists it; its passwords
    // are excluded once.
    PasswordSet counted;
    table->ForEachWord([&](std::string_view word) {
        const PasswordCount variants = space.Variants(word);
        if (variants != PasswordCount() && !counted.Contains(word)) {
            counted.Insert(word);
            excluded += variants;
        }
    });
    return excluded;
}

PasswordCount PasswordsLeft(const ExclusionDictionary& dictionary, const PasswordSpace& space)
{
    PasswordCount left = space.Size();
    left -= ExcludedPasswords(dictionary, space);
    return left;
}
