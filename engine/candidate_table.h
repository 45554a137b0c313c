#pragma once

#include <array>
#include <cstddef>

#include "engine/draw_rule.h"

// A candidate character in one draw of the secure source: the table lists
// every character of a rule's alphabet as often as its weight, so one uniform
// draw of an index gives each exactly its chance. With the dialog's rule (with
// letters and digits in mixed case a digit comes with chance 1/20 and a cased
// letter with 1/104) a digit stands 26 times for a letter's 5. The table is
// repeated as often as the index's width holds it whole, which wastes the
// fewest random bits on indices past its end.
class CandidateTable {
public:
    static constexpr std::size_t kMaxSize = 4096;

    // The table of the alphabet's weights. Throws std::logic_error when they
    // take more than kMaxSize places.
    explicit CandidateTable(const Alphabet& alphabet);

    // The table of the dialog's rule for the options' type, case and
    // look-alike setting; built once for each, on first use.
    static const CandidateTable& For(const PasswordOptions& options);

    // A draw below Size() picks a candidate.
    int Size() const { return size; }
    char At(int index) const { return characters[static_cast<std::size_t>(index)]; }

    // Bits an index takes: those of Size() - 1. Indices from Size() up to
    // 2^Width() - 1 may be looked up too; they hold the zero byte, which no
    // candidate is.
    int Width() const { return width; }
    // At(index), folded to lower case.
    unsigned char Folded(int index) const { return folded[static_cast<std::size_t>(index)]; }

private:
    // Written up to 2^width only: the rest is never read.
    std::array<char, kMaxSize> characters;
    std::array<unsigned char, kMaxSize> folded;
    int size = 0;
    int width = 0;
};
