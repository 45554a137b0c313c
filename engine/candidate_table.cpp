#include "engine/candidate_table.h"

#include <bit>
#include <cstdint>
#include <stdexcept>
#include <utility>

namespace {

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
        return CandidateTable(DialogRule(options).alphabet);
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

CandidateTable::CandidateTable(const Alphabet& alphabet)
{
    const std::uint32_t total = alphabet.Total();
    if (total == 0 || total > kMaxSize) {
        throw std::logic_error("CandidateTable: weights too fine");
    }
    const std::uint32_t span = std::uint32_t{1} << DrawBits(total);
    for (std::uint32_t copy = 0; copy < span / total; ++copy) {
        for (int byte = 0; byte < 256; ++byte) {
            for (std::uint32_t n = 0; n < alphabet.weight[static_cast<std::size_t>(byte)]; ++n) {
                folded[static_cast<std::size_t>(size)] = FoldCase(static_cast<char>(byte));
                characters[static_cast<std::size_t>(size++)] = static_cast<char>(byte);
            }
        }
    }
    width = std::bit_width(static_cast<unsigned>(size - 1));
    for (std::size_t index = static_cast<std::size_t>(size); index < (std::size_t{1} << width);
         ++index) {
        characters[index] = '\0';
        folded[index] = 0;
    }
}

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
