// Every option set the dialog can store, numbered: four types by three cases
// by the look-alike and five-position rules on and off.
#pragma once

#include "engine/password_options.h"

inline constexpr int kDialogOptionSets = 4 * 3 * 4;

inline PasswordOptions DialogOptionSet(int set)
{
    PasswordOptions options;
    options.characterType = static_cast<CharacterType>(set % 4);
    options.letterCase = static_cast<LetterCase>(set / 4 % 3);
    options.excludeSimilar = set / 12 % 2 != 0;
    options.excludeDuplicate = set / 24 != 0;
    return options;
}
