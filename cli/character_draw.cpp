#include "cli/character_draw.h"

CharacterDraw::CharacterDraw(const RunPlan& plan)
    : options(plan.options), dialogDraw(plan.dialogDraw), requiredKinds(plan.rule.RequiredKinds())
{
    if (!dialogDraw) {
        table.emplace(CandidateTable::FromWeights(plan.rule.alphabet.weight));
    }
    for (int byte = 0; byte < 256; ++byte) {
        kindBit[static_cast<std::size_t>(byte)] =
            static_cast<std::uint8_t>(KindBit(static_cast<char>(byte)));
    }
}

void CharacterDraw::DrawAny(DrawSource& random, char* texts, std::size_t length,
                            std::size_t count) const
{
    if (dialogDraw) {
        DrawPasswords(random, options, texts, length, count);
    } else {
        DrawFromTable(random, *table, options.excludeDuplicate, texts, length, count);
    }
}

bool CharacterDraw::HoldsEveryKind(const char* text, std::size_t length) const
{
    unsigned kinds = 0;
    for (std::size_t i = 0; i < length; ++i) {
        kinds |= kindBit[static_cast<unsigned char>(text[i])];
    }
    return (kinds & requiredKinds) == requiredKinds;
}

void CharacterDraw::Draw(DrawSource& random, char* texts, std::size_t length,
                         std::size_t count) const
{
    DrawAny(random, texts, length, count);
    if (requiredKinds == 0) {
        return;
    }
    for (std::size_t n = 0; n < count; ++n) {
        char* const text = texts + n * length;
        while (!HoldsEveryKind(text, length)) {
            DrawAny(random, text, length, 1);
        }
    }
}
