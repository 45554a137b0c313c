#pragma once

#include <cstdint>

#include "cli/password_run.h"
#include "cli/word_list.h"

// Makes count different passphrases of the rule and writes them; fitting is
// how many the dictionary leaves, counted before. A passphrase that is an
// excluded word or made already is drawn again whole. Keys are the ranks of
// the words' places where the rule's passphrases fit in 64 bits, so a run
// that must find the last one finds it.
RunResult MakePassphrases(const PassphraseRule& rule, int count, DrawSource& random,
                          const ExclusionDictionary& dictionary, PasswordWriter& writer,
                          std::uint64_t fitting, FingerprintHash hash);
