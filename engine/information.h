#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/alphabet.h"
#include "engine/password_options.h"

// How much a password really tells an attacker who knows the options: minus
// the base-2 logarithm of the chance that composition draws exactly this
// password. The chance follows the draw formulas (with letters and numbers
// half of all candidates are digits, so a digit is likelier than a letter) and
// the redraws of the look-alike and five-position rules: a candidate is drawn
// again until acceptable, so a character's chance is its candidate chance
// divided by the chance that a candidate is acceptable after the characters
// before it. The word list and the uniqueness within a batch are left aside.
//
// EstimateEntropy rates every character as equally likely; this figure is the
// honest one and is a few bits lower for the same password.
class InformationContent {
public:
    explicit InformationContent(const PasswordOptions& options);

    // The same for the command line's draw rules. With everyKind a password
    // that lacks a kind has no chance, and the chance of one that holds
    // every kind is its draw's chance divided by the chance that a draw of
    // its length holds every kind (EveryKindChances, exact), as redrawing the
    // whole password until it does makes it.
    explicit InformationContent(const DrawRule& rule);

    // The figure in bits for a password of any length (the options' length is
    // not consulted); infinity for one these options can never give.
    double Bits(std::string_view password) const;

private:
    // The bits of the draw alone, every kind left aside.
    double DrawBits(std::string_view password) const;

    // Candidate chances in units of 1 / (2 * 2 * 16 * 26 * 10), which makes
    // every chance the draw formulas give a whole number.
    std::array<std::uint32_t, 256> weight{};
    // By folded byte: the weight of the candidates that fold to it and pass
    // the look-alike rule, which is what the five-position rule takes away
    // while that byte is among the recent characters.
    std::array<std::uint32_t, 256> foldedWeight{};
    // The weight of every candidate that passes the look-alike rule.
    std::uint32_t passingWeight = 0;
    bool excludeSimilar;
    bool excludeDuplicate;
    unsigned requiredKinds = 0;
    // By length: log2 of the chance that a draw holds every required kind.
    std::vector<double> everyKindBits;
};

// By byte: the chance that the draw formulas give it as a candidate, before
// any rule, in units of 1 / (2 * 2 * 16 * 26 * 10), which makes every chance
// they give a whole number.
std::array<std::uint32_t, 256> CandidateWeights(const PasswordOptions& options);

// By folded byte: how many characters the draw formulas can give under the
// options that fold to it and pass the look-alike rule (0, 1 or 2). The
// five-position rule compares folded characters, so these classes are what
// it takes away.
std::array<std::uint8_t, 256> FoldedClassSizes(const PasswordOptions& options);

// InformationContent(options).Bits(password), for a single password.
double InformationBits(std::string_view password, const PasswordOptions& options);
