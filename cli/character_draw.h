#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "cli/run_plan.h"
#include "engine/candidate_table.h"
#include "engine/random_source.h"

// How a run draws passwords of characters: the dialog's own draw when no
// character set was given, else one uniform index a candidate into the
// table of the plan's alphabet. With every kind required, a password that
// lacks one is drawn again whole, never patched: every password that holds
// them all keeps its chance relative to the others.
class CharacterDraw {
public:
    explicit CharacterDraw(const RunPlan& plan);

    // count passwords of length characters, one after another from texts on.
    void Draw(DrawSource& random, char* texts, std::size_t length, std::size_t count) const;

private:
    void DrawAny(DrawSource& random, char* texts, std::size_t length, std::size_t count) const;
    bool HoldsEveryKind(const char* text, std::size_t length) const;

    const PasswordOptions& options;
    bool dialogDraw;
    std::optional<CandidateTable> table;
    unsigned requiredKinds;
    std::array<std::uint8_t, 256> kindBit{};
};
