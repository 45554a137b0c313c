#include "engine/information.h"

#include <cmath>
#include <limits>

#include "engine/password_options.h"
#include "engine/rule_walk.h"

namespace {

// Past this the running product of odds is taken into the sum of bits, so no
// password of any length overflows it (each factor is at most the total
// weight, 4096 at most).
constexpr double kLargeOdds = 0x1p900;

} // namespace

InformationContent::InformationContent(const DrawRule& rule)
    : weight(rule.alphabet.weight), total(rule.alphabet.Total()),
      excludeDuplicate(rule.excludeDuplicate), requiredKinds(rule.RequiredKinds())
{
    const std::array<FoldedClass, 256> classes = FoldedClasses(rule.alphabet);
    for (std::size_t folded = 0; folded < classes.size(); ++folded) {
        classWeight[folded] = classes[folded].weight;
    }
    if (requiredKinds != 0) {
        for (const double chance : EveryKindChances(rule, PasswordOptions::kMaxLength)) {
            everyKindBits.push_back(std::log2(chance));
        }
    }
}

double InformationContent::Bits(std::string_view password) const
{
    double bits = 0;
    if (requiredKinds != 0) {
        unsigned kinds = 0;
        for (const char c : password) {
            kinds |= KindBit(c);
        }
        if ((kinds & requiredKinds) != requiredKinds || password.size() >= everyKindBits.size()) {
            return std::numeric_limits<double>::infinity();
        }
        bits = everyKindBits[password.size()];
    }
    return bits + DrawBits(password);
}

double InformationContent::DrawBits(std::string_view password) const
{
    // Each recent character was accepted against those before it, so their
    // classes all differ and each takes its weight away once: the acceptable
    // weight loses a class as it comes and regains it as it leaves.
    RecentCharacters recent;
    std::uint32_t acceptable = total;
    double bits = 0;
    double odds = 1; // 1 / the chance of the characters since bits was last taken
    for (const char c : password) {
        const auto byte = static_cast<unsigned char>(c);
        if (weight[byte] == 0 || recent.Holds(FoldCase(c))) {
            return std::numeric_limits<double>::infinity();
        }
        odds *= static_cast<double>(acceptable) / weight[byte];
        if (odds > kLargeOdds) {
            bits += std::log2(odds);
            odds = 1;
        }
        if (excludeDuplicate) {
            acceptable += classWeight[recent.Leaving()];
            acceptable -= classWeight[FoldCase(c)];
            recent.Push(c);
        }
    }
    return bits + std::log2(odds);
}
