#pragma once

#include <cstddef>
#include <vector>

#include "engine/draw_rule.h"
#include "engine/password_count.h"

// Figures of a draw rule taken over all its passwords at once, each exact:
// the chance that a draw holds the minimums of each kind, the count of
// passwords, the largest chance of one password. A character's chance
// depends on the classes of folded characters the repeat rule takes out
// before it, and only on what those classes hold: classes alike in their
// members' kinds and weights are interchangeable. So a walk position by
// position over the windows of class types (and over the counts of each kind
// held so far, up to its minimum) visits every password's case without
// listing the passwords. The rules the program makes give at most a handful
// of class types, so a walk of 64 positions takes a few million steps at
// most.

// By length 0 to maxLength: the chance that a password drawn under the rule,
// before any redraw for the minimums, holds them.
std::vector<double> MinimumsChances(const DrawRule& rule, std::size_t maxLength);

// How many different passwords of the length the rule gives: with minimums,
// only those holding them.
PasswordCount CountPasswords(const DrawRule& rule, std::size_t length);

// By length 0 to maxLength: the least information, in bits, of any password
// the rule gives, which is minus log2 of the largest chance any one of them
// has (with minimums, that chance divided by the chance of holding them, as
// the redraw makes it). Infinity where the rule gives no password.
std::vector<double> LeastInformation(const DrawRule& rule, std::size_t maxLength);
