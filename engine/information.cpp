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

InformationContent::InformationContent(const DrawRule& drawRule)
    : rule(drawRule), total(drawRule.alphabet.Total())
{
    const std::array<FoldedClass, 256> classes = FoldedClasses(rule.alphabet);
    for (std::size_t byte = 0; byte < classes.size(); ++byte) {
        classWeight[byte] = classes[byte].weight;
        notFirstWeight += rule.notFirst[byte] ? rule.alphabet.weight[byte] : 0;
    }
    if (rule.HasMinimums()) {
        for (const double chance : MinimumsChances(rule, PasswordOptions::kMaxLength)) {
            minimumsBits.push_back(std::log2(chance));
        }
    }
}

double InformationContent::Bits(std::string_view password) const
{
    double bits = 0;
    if (rule.HasMinimums()) {
        if (!rule.HoldsMinimums(password) || password.size() >= minimumsBits.size()) {
            return std::numeric_limits<double>::infinity();
        }
        bits = minimumsBits[password.size()];
    }
    switch (rule.repeats) {
    case Repeats::NotWithinFive:
        return bits + DrawBits<RecentCharacters>(password);
    case Repeats::Never:
        return bits + DrawBits<UsedCharacters>(password);
    case Repeats::Allowed:
        break;
    }
    return bits + DrawBits<NoCharacters>(password);
}

template <typename Window>
double InformationContent::DrawBits(std::string_view password) const
{
    // Each character before was accepted against those before it, so the
    // window's classes all differ and each takes its weight away once: the
    // acceptable weight loses a class as it comes and regains it as it
    // leaves.
    Window window;
    std::uint32_t acceptable = total;
    double bits = 0;
    double odds = 1; // 1 / the chance of the characters since bits was last taken
    for (std::size_t i = 0; i < password.size(); ++i) {
        const char c = password[i];
        const auto byte = static_cast<unsigned char>(c);
        if (rule.alphabet.weight[byte] == 0 || window.Holds(FoldCase(c)) ||
            (i == 0 && rule.notFirst[byte])) {
            return std::numeric_limits<double>::infinity();
        }
        const std::uint32_t offered = i == 0 ? acceptable - notFirstWeight : acceptable;
        odds *= static_cast<double>(offered) / rule.alphabet.weight[byte];
        if (odds > kLargeOdds) {
            bits += std::log2(odds);
            odds = 1;
        }
        if constexpr (Window::kTakesOut) {
            acceptable += classWeight[window.Leaving()];
            acceptable -= classWeight[FoldCase(c)];
        }
        window.Push(c);
    }
    return bits + std::log2(odds);
}
