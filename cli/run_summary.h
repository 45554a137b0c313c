#pragma once

#include <string>

#include "cli/password_run.h"
#include "cli/run_plan.h"

// What --verbose tells on standard error before a run, on one line: the
// length (or words) of each password, how many passwords the options allow,
// exactly, and how many of them the dictionary leaves when one is given, and
// the least information any of them carries, cut to a tenth of a bit.
std::string RunSummary(const RunPlan& plan, const AllowedPasswords& allowed, bool dictionary);

// The count in decimal digits, every one of them.
std::string DecimalText(const PasswordCount& count);
