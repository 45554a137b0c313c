#include "engine/draw_rule.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "engine/draw_formulas.h"

namespace {

// Answers the formulas' draws from a path of choices, so that running a
// formula once per path visits every sequence of draws it can make exactly
// once. After each run the path moves on like an odometer, the last draw
// fastest.
class EveryDraw {
public:
    int Below(int bound)
    {
        if (depth == path.size()) {
            path.push_back({0, bound});
        }
        chanceDenominator *= static_cast<std::uint32_t>(bound);
        return path[depth++].value;
    }

    // The product of the bounds of this run's draws: its chance is one in that.
    std::uint32_t ChanceDenominator() const { return chanceDenominator; }

    // False once every path has been run.
    bool Advance()
    {
        path.resize(depth);
        while (!path.empty() && ++path.back().value == path.back().bound) {
            path.pop_back();
        }
        depth = 0;
        chanceDenominator = 1;
        return !path.empty();
    }

private:
    struct Choice {
        int value;
        int bound;
    };
    std::vector<Choice> path;
    std::size_t depth = 0;
    std::uint32_t chanceDenominator = 1;
};

struct Outcome {
    char character;
    std::uint32_t chanceDenominator;
};

std::vector<Outcome> EveryOutcome(const PasswordOptions& options)
{
    std::vector<Outcome> outcomes;
    draw_formulas::WithDraw(options, [&]<CharacterType type, LetterCase letterCase>() {
        EveryDraw draws;
        do {
            const char c = draw_formulas::Candidate<type, letterCase>(draws);
            outcomes.push_back({c, draws.ChanceDenominator()});
        } while (draws.Advance());
    });
    return outcomes;
}

// The weights divided by their common factor: the one place a rule's weights
// are reduced, so the draw's table and every figure see the same numbers.
Alphabet Reduced(Alphabet alphabet)
{
    std::uint32_t divisor = 0;
    for (const std::uint32_t w : alphabet.weight) {
        divisor = std::gcd(divisor, w);
    }
    for (std::uint32_t& w : alphabet.weight) {
        w /= divisor == 0 ? 1 : divisor;
    }
    return alphabet;
}

} // namespace

std::uint32_t Alphabet::Total() const
{
    return std::accumulate(weight.begin(), weight.end(), std::uint32_t{0});
}

unsigned Alphabet::Kinds() const
{
    unsigned kinds = 0;
    for (int byte = 0; byte < 256; ++byte) {
        kinds |= weight[static_cast<std::size_t>(byte)] != 0 ? KindBit(static_cast<char>(byte)) : 0;
    }
    return kinds;
}

DrawRule DialogRule(const PasswordOptions& options)
{
    // Chances in units of one over the common denominator, so each is whole.
    const std::vector<Outcome> outcomes = EveryOutcome(options);
    std::uint32_t unit = 1;
    for (const Outcome& outcome : outcomes) {
        unit = std::lcm(unit, outcome.chanceDenominator);
    }
    Alphabet alphabet;
    for (const Outcome& outcome : outcomes) {
        if (!(options.excludeSimilar && IsSimilarCharacter(outcome.character))) {
            alphabet.weight[static_cast<unsigned char>(outcome.character)] +=
                unit / outcome.chanceDenominator;
        }
    }
    DrawRule rule;
    rule.alphabet = Reduced(alphabet);
    rule.repeats = options.excludeDuplicate ? Repeats::NotWithinFive : Repeats::Allowed;
    return rule;
}

DrawRule CharacterSetRule(std::string_view characters, Repeats repeats)
{
    DrawRule rule;
    for (const char c : characters) {
        if (c != '\0') {
            rule.alphabet.weight[static_cast<unsigned char>(c)] = 1;
        }
    }
    rule.repeats = repeats;
    return rule;
}

void DrawRule::RequireEachKind(int count)
{
    const unsigned kinds = alphabet.Kinds();
    for (int kind = 0; kind < kCharacterKinds; ++kind) {
        if ((kinds >> kind & 1u) != 0) {
            atLeast[static_cast<std::size_t>(kind)] =
                std::max(atLeast[static_cast<std::size_t>(kind)], count);
        }
    }
}

bool DrawRule::HasMinimums() const
{
    return std::any_of(atLeast.begin(), atLeast.end(), [](int least) { return least > 0; });
}

bool DrawRule::HoldsMinimums(std::string_view text) const
{
    std::array<int, kCharacterKinds> held{};
    for (const char c : text) {
        ++held[static_cast<std::size_t>(KindOf(c))];
    }
    for (std::size_t kind = 0; kind < held.size(); ++kind) {
        if (held[kind] < atLeast[kind]) {
            return false;
        }
    }
    return true;
}

std::array<FoldedClass, 256> FoldedClasses(const Alphabet& alphabet)
{
    std::array<FoldedClass, 256> classes{};
    for (int byte = 0; byte < 256; ++byte) {
        const std::uint32_t weight = alphabet.weight[static_cast<std::size_t>(byte)];
        if (weight != 0) {
            const char c = static_cast<char>(byte);
            FoldedClass& folded = classes[FoldCase(c)];
            folded.members[static_cast<std::size_t>(folded.size++)] = c;
            folded.kinds |= KindBit(c);
            folded.weight += weight;
        }
    }
    return classes;
}
