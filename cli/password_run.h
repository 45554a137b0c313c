#pragma once

#include <string>

#include "batch/exclusion_dictionary.h"
#include "cli/command_line.h"
#include "cli/password_writer.h"
#include "cli/run_fingerprints.h"
#include "cli/run_plan.h"
#include "engine/random_source.h"

enum class RunEnd {
    Complete,
    // No other password fits the options: every password they allow is an
    // excluded word or made already, as counted before the run.
    NoMoreFit,
    RandomFailed,
    OutputStopped,
};

struct RunResult {
    int made = 0;
    RunEnd end = RunEnd::Complete;
};

// Makes request.count different passwords and writes them, document complete
// also when the run ends early (a JSON array is closed). The passwords left
// are counted exactly first, so the run goes on until the count is reached or
// none is left, however many candidates that takes. hash keys the passwords
// where their ranks do not fit in 64 bits (a test may force collisions).
RunResult MakePasswords(const CliRequest& request, DrawSource& random,
                        const ExclusionDictionary& dictionary, PasswordWriter& writer,
                        FingerprintHash hash = PasswordHash);

// The same for a plan: count passwords of characters or passphrases.
RunResult MakePasswords(const RunPlan& plan, int count, DrawSource& random,
                        const ExclusionDictionary& dictionary, PasswordWriter& writer,
                        FingerprintHash hash = PasswordHash);

// The passwords a plan allows, exactly: all of them, and those left that
// are no word of the dictionary.
struct AllowedPasswords {
    PasswordCount all;
    PasswordCount left;
};

AllowedPasswords CountAllowed(const RunPlan& plan, const ExclusionDictionary& dictionary);

// The same run for passwords already counted.
RunResult MakePasswords(const RunPlan& plan, const AllowedPasswords& allowed, int count,
                        DrawSource& random, const ExclusionDictionary& dictionary,
                        PasswordWriter& writer, FingerprintHash hash = PasswordHash);

// Reads the word list with the dialog's reader. Answers an empty text, or why
// the file could not be read whole.
std::string LoadWordList(const std::string& path, ExclusionDictionary& dictionary);
