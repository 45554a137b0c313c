#pragma once

#include "batch/exclusion_dictionary.h"
#include "engine/password_count.h"
#include "engine/password_space.h"

// How many passwords of the space the dictionary's words exclude: each
// different word counts the space's passwords that fold to it, once.
PasswordCount ExcludedPasswords(const ExclusionDictionary& dictionary, const PasswordSpace& space);

// The passwords of the space that are no word of the dictionary.
PasswordCount PasswordsLeft(const ExclusionDictionary& dictionary, const PasswordSpace& space);
