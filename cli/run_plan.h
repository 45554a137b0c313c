#pragma once

#include <string>

#include "cli/command_line.h"
#include "cli/word_list.h"
#include "engine/alphabet.h"

// A request made ready to run: for passwords of characters the rule and the
// length (chosen here for --min-bits), for passphrases the words. Everything
// that can refuse a request after its arguments were read is found here,
// before anything is printed.
struct RunPlan {
    PasswordOptions options; // the request's, with the length to draw
    DrawRule rule;
    // No character set was given: the draw is the dialog's own, which a seed
    // reproduces, and whose secure draw is the rule's alphabet too.
    bool dialogDraw = true;
    bool passphrases = false;
    PassphraseRule passphrase;
};

// Fills the plan, or answers why the request cannot run, on one line that
// names the argument; the word list for passphrases is read here.
std::string PlanRun(const CliRequest& request, RunPlan& plan);

// The plan of a request of characters that needs no file (tests).
RunPlan CharacterPlan(const CliRequest& request);
