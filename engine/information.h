#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/draw_rule.h"

// How much a password really tells an attacker who knows the rule it was
// drawn by: minus the base-2 logarithm of the chance that the draw gives
// exactly this password. A character's chance is its weight over the weight
// the five-position rule leaves after the characters before it (a candidate
// is drawn again until acceptable). With every kind required, a password
// that lacks one has no chance, and one that holds every kind has its draw's
// chance divided by the chance that a draw of its length holds every kind
// (EveryKindChances, exact), as redrawing the whole password makes it. The
// word list and the uniqueness within a run are left aside.
//
// EstimateEntropy rates every character as equally likely; this figure is the
// honest one and is a few bits lower for the same password.
class InformationContent {
public:
    explicit InformationContent(const DrawRule& rule);

    // The figure in bits for a password of any length; infinity for one the
    // rule can never give.
    double Bits(std::string_view password) const;

private:
    // The bits of the draw alone, every kind left aside.
    double DrawBits(std::string_view password) const;

    std::array<std::uint32_t, 256> weight;
    // By folded byte: the weight of its class, what the five-position rule
    // takes away while the class is among the recent characters.
    std::array<std::uint32_t, 256> classWeight{};
    std::uint32_t total;
    bool excludeDuplicate;
    unsigned requiredKinds;
    // By length: log2 of the chance that a draw holds every required kind.
    std::vector<double> everyKindBits;
};
