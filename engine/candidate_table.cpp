#include "engine/candidate_table.h"

#include <bit>
#include <cstdint>
#include <numeric>
#include <stdexcept>
#include <utility>
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

template <CharacterType type, LetterCase letterCase>
std::vector<Outcome> EveryOutcome()
{
    std::vector<Outcome> outcomes;
    EveryDraw draws;
    do {
        const char c = draw_formulas::Candidate<type, letterCase>(draws);
        outcomes.push_back({c, draws.ChanceDenominator()});
    } while (draws.Advance());
    return outcomes;
}

// Index bits of the draw: the width whose rejection wastes the fewest random
// bits a candidate, the table repeated as often as the width holds it whole.
int DrawBits(std::uint32_t total)
{
    int best = std::bit_width(total - 1);
    double bestCost = 0;
    for (int bits = best; (std::uint32_t{1} << bits) <= CandidateTable::kMaxSize; ++bits) {
        const std::uint32_t span = std::uint32_t{1} << bits;
        const double cost = bits * static_cast<double>(span) / ((span / total) * total);
        if (bestCost == 0 || cost < bestCost) {
            best = bits;
            bestCost = cost;
        }
    }
    return best;
}

} // namespace

class CandidateTableBuilder {
public:
    static CandidateTable Build(const PasswordOptions& options)
    {
        std::vector<Outcome> outcomes;
        draw_formulas::WithDraw(options, [&]<CharacterType type, LetterCase letterCase>() {
            outcomes = EveryOutcome<type, letterCase>();
        });
        // Chances in units of one over the common denominator, so each is whole.
        std::uint32_t unit = 1;
        for (const Outcome& outcome : outcomes) {
            unit = std::lcm(unit, outcome.chanceDenominator);
        }
        std::array<std::uint32_t, 256> weight{};
        for (const Outcome& outcome : outcomes) {
            if (!(options.excludeSimilar && IsSimilarCharacter(outcome.character))) {
                const auto byte = static_cast<unsigned char>(outcome.character);
                weight[byte] += unit / outcome.chanceDenominator;
            }
        }
        return CandidateTable::FromWeights(weight);
    }

    static CandidateTable FromWeights(std::array<std::uint32_t, 256> weight)
    {
        std::uint32_t divisor = 0;
        for (const std::uint32_t w : weight) {
            divisor = std::gcd(divisor, w);
        }
        std::uint32_t total = 0;
        for (std::uint32_t& w : weight) {
            w /= divisor == 0 ? 1 : divisor;
            total += w;
        }
        if (total == 0 || total > CandidateTable::kMaxSize) {
            throw std::logic_error("CandidateTable: weights too fine");
        }
        const std::uint32_t span = std::uint32_t{1} << DrawBits(total);
        CandidateTable table;
        for (std::uint32_t copy = 0; copy < span / total; ++copy) {
            for (int byte = 0; byte < 256; ++byte) {
                for (std::uint32_t n = 0; n < weight[static_cast<std::size_t>(byte)]; ++n) {
                    table.folded[static_cast<std::size_t>(table.size)] =
                        FoldCase(static_cast<char>(byte));
                    table.characters[static_cast<std::size_t>(table.size++)] =
                        static_cast<char>(byte);
                }
            }
        }
        table.width = std::bit_width(static_cast<unsigned>(table.size - 1));
        for (std::size_t index = static_cast<std::size_t>(table.size);
             index < (std::size_t{1} << table.width); ++index) {
            table.characters[index] = '\0';
            table.folded[index] = 0;
        }
        return table;
    }
};

namespace {

constexpr int kTypes = 4;
constexpr int kCases = 3;
constexpr int kTables = kTypes * kCases * 2;

// The table of one index, built on its first use only: a run asks for one.
template <int kIndex>
const CandidateTable& TableOf()
{
    static const CandidateTable table = [] {
        PasswordOptions options;
        options.characterType = static_cast<CharacterType>(kIndex / (kCases * 2));
        options.letterCase = static_cast<LetterCase>(kIndex / 2 % kCases);
        options.excludeSimilar = kIndex % 2 == 1;
        return CandidateTableBuilder::Build(options);
    }();
    return table;
}

template <int... kIndex>
constexpr std::array<const CandidateTable& (*)(), kTables>
Tables(std::integer_sequence<int, kIndex...>)
{
    return {&TableOf<kIndex>...};
}

} // namespace

const CandidateTable& CandidateTable::For(const PasswordOptions& options)
{
    static constexpr auto kTable = Tables(std::make_integer_sequence<int, kTables>());
    // An unknown stored value draws as the last one of its list, as the
    // formulas do.
    const int type = static_cast<int>(options.characterType);
    const int letterCase = static_cast<int>(options.letterCase);
    const int typeIndex = type >= 0 && type < kTypes ? type : kTypes - 1;
    const int caseIndex = letterCase >= 0 && letterCase < kCases ? letterCase : kCases - 1;
    return kTable[static_cast<std::size_t>((typeIndex * kCases + caseIndex) * 2 +
                                           (options.excludeSimilar ? 1 : 0))]();
}

CandidateTable CandidateTable::FromWeights(const std::array<std::uint32_t, 256>& weights)
{
    return CandidateTableBuilder::FromWeights(weights);
}
