#pragma once

#include "engine/password_options.h"

// The options as the last run left them. A value that is missing keeps the
// default of PasswordOptions; one written by hand or by another version is
// brought within what the controls can show, so every value that reaches a
// batch is one the user could have set.
PasswordOptions LoadStoredOptions();

// Keeps the options for the next run.
void StoreOptions(const PasswordOptions& options);
