#pragma once

#include <string>

#include "cli/command_line.h"
#include "cli/word_list.h"
#include "engine/draw_rule.h"

// A request made ready to run: for passwords of characters the rule and the
// length (chosen here for --min-bits), for passphrases the words. Everything
// that can refuse a request after its arguments were read is found here,
// before anything is printed.
struct RunPlan {
    // Passwords of characters: the rule they are drawn by and their length.
    DrawRule rule;
    int length = 0;
    bool passphrases = false;
    PassphraseRule passphrase;
};

// Fills the plan, or answers why the request cannot run, on one line that
// names the argument; the word list for passphrases is read here.
std::string PlanRun(const CliRequest& request, RunPlan& plan);

// The plan of a request of characters that needs no file (tests): its rule,
// and the length given or, without one, the length that PlanRun replaces.
RunPlan CharacterPlan(const CliRequest& request);

// A number of bits cut, not rounded, to a tenth: a figure the options reach
// at most, or the least any password carries, must not read as more.
std::string TenthsCut(double bits);
