#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/draw_rule.h"

// How much a password really tells an attacker who knows the rule it was
// drawn by: minus the base-2 logarithm of the chance that the draw gives
// exactly this password. A character's chance is its weight over the weight
// the rule still offers at its place: the repeat rule takes out the classes
// of the characters before it, and the first place the characters a password
// may not begin with (a refused candidate is drawn again). With minimums of
// a kind, a password short of one has no chance, and one that holds them has
// its draw's chance divided by the chance that a draw of its length holds
// them (MinimumsChances, exact), as redrawing the whole password makes it.
// The word list and the uniqueness within a run are left aside.
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
    // The bits of the draw alone, the minimums left aside, following the
    // repeat rule's window.
    template <typename Window>
    double DrawBits(std::string_view password) const;

    DrawRule rule;
    // By folded byte: the weight of its class, what the repeat rule takes
    // away while the class is among the characters before.
    std::array<std::uint32_t, 256> classWeight{};
    std::uint32_t total;
    // The weight the first place does not offer.
    std::uint32_t notFirstWeight = 0;
    // By length: log2 of the chance that a draw holds the minimums.
    std::vector<double> minimumsBits;
};
