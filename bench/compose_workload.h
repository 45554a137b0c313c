#pragma once

#include <string_view>

#include "batch/exclusion_dictionary.h"
#include "engine/composer.h"
#include "engine/password_set.h"

// The shape of a batch: the options most users keep, no dictionary file, and
// a list that starts empty every 300 passwords.
inline PasswordOptions BenchOptions()
{
    PasswordOptions options;
    options.length = 16;
    options.characterType = CharacterType::LettersAndNumbers;
    options.letterCase = LetterCase::MixCase;
    options.excludeSimilar = true;
    options.excludeDuplicate = true;
    return options;
}

class BatchList final : public PasswordList {
public:
    bool Contains(std::string_view password) const override { return passwords.Contains(password); }
    void Add(const PasswordRow& row) override
    {
        if (passwords.Size() == 300) {
            passwords.Clear();
        }
        passwords.Insert(row.password);
    }

private:
    PasswordSet passwords;
};
