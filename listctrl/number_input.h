#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The typing rules of a number cell's editor, apart from any window. The
// flags are the cell's: FlagDecimal allows one decimal point, FlagCompare one
// each of "<", ">" and "=" ahead of the number.

// Whether the text is still a number the cell allows: only digits, minus
// signs and the allowed marks; at most one each of "<", ">", "=" and ".";
// "=" not before "<" or ">"; no comparison mark and no minus sign after the
// first digit.
bool IsNumberText(std::string_view text, std::uint32_t flags);

// Whether typing the character over the selection [first, last) leaves a
// number the cell allows.
bool AcceptsNumberKey(std::string_view text, std::size_t first, std::size_t last, char typed,
                      std::uint32_t flags);

// The text with the sign of its number turned round: the minus sign in front
// of the number (after any comparison marks) goes, or one comes. The digits
// stay as they were typed, so no value is rounded or cut; a number without a
// digit other than 0 has no sign to turn.
struct SignFlip {
    std::string text;
    std::size_t at = 0; // where the sign went or came
    int shift = 0;      // +1 a sign came, -1 one went, 0 nothing changed

    // Where a caret or selection end at position lies in the new text.
    std::size_t Follow(std::size_t position) const;
};
SignFlip FlipSign(std::string_view text);
