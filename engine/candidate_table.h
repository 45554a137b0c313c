#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/password_options.h"

// A candidate character in one draw of the secure source. The draw formulas
// take up to three draws a candidate (letter or digit, the case, then the
// character), each with a rejection of its own, and a look-alike is thrown
// away and drawn again whole. The table lists every character the formulas
// can give, look-alikes left out when the options exclude them, each as
// often as its chance requires: with letters and digits in mixed case a
// digit comes with chance 1/20 and a cased letter with 1/104, so a digit
// stands 26 times for a letter's 5. One uniform draw of an index then gives
// exactly the distribution of the formulas after the look-alike rule. The
// seeded source keeps the formulas themselves: a seed must go on giving the
// same passwords.
class CandidateTable {
public:
    static constexpr std::size_t kMaxSize = 4096;

    // The table of the options' type, case and look-alike setting; built once
    // for each, on first use.
    static const CandidateTable& For(const PasswordOptions& options);

    // The table of any weights by byte (the command line's alphabets): each
    // character listed weight / (the weights' common factor) times. Throws
    // std::logic_error when that takes more than kMaxSize places.
    static CandidateTable FromWeights(const std::array<std::uint32_t, 256>& weights);

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
    friend class CandidateTableBuilder;

    // Written up to 2^width only: the rest is never read.
    std::array<char, kMaxSize> characters;
    std::array<unsigned char, kMaxSize> folded;
    int size = 0;
    int width = 0;
};
