#pragma once

#include <cstddef>
#include <vector>

#include "engine/draw_rule.h"
#include "engine/password_count.h"

// Figures of a draw rule taken over all its passwords at once, each exact:
// the chance that a draw holds every kind, the count of passwords, the
// largest chance of one password. Under the five-position rule a
// character's chance depends on the five classes of folded characters before
// it (they are taken out of the draw), and only on what those classes hold:
// classes alike in their members' kinds and weights are interchangeable. So
// a walk position by position over the windows of class types (and over the
// kinds held so far) visits every password's case without listing the
// passwords. The rule's two ways to fill an alphabet (the draw formulas'
// weights, or every character alike) give at most five class types, so a
// walk of 64 positions takes a few million steps at most.

// By length 0 to maxLength: the chance that a password drawn from the
// alphabet under the five-position rule (if set), before any every-kind
// redraw, holds a character of every kind the alphabet has.
std::vector<double> EveryKindChances(const DrawRule& rule, std::size_t maxLength);

// How many different passwords of the length the rule gives: with everyKind,
// only those holding every kind.
PasswordCount CountPasswords(const DrawRule& rule, std::size_t length);

// By length 0 to maxLength: the least information, in bits, of any password
// the rule gives, which is minus log2 of the largest chance any one of them
// has (with everyKind, that chance divided by the chance of holding every
// kind, as the redraw makes it). Infinity where the rule gives no password.
std::vector<double> LeastInformation(const DrawRule& rule, std::size_t maxLength);
