#include "listctrl/number_input.h"

#include <algorithm>

#include "listctrl/list_model.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool IsNumberText(std::string_view text, std::uint32_t flags)
{
    const bool decimal = (flags & FlagDecimal) != 0;
    const bool compare = (flags & FlagCompare) != 0;
    bool digit = false;
    int less = 0;
    int greater = 0;
    int equals = 0;
    int points = 0;
    for (const char c : text) {
        if (IsDigit(c)) {
            digit = true;
            continue;
        }
        switch (c) {
        case '-':
            if (digit) {
                return false;
            }
            break;
        case '.':
            if (!decimal || ++points > 1) {
                return false;
            }
            break;
        case '<':
        case '>':
            if (!compare || digit || equals > 0 || ++(c == '<' ? less : greater) > 1) {
                return false;
            }
            break;
        case '=':
            if (!compare || digit || ++equals > 1) {
                return false;
            }
            break;
        default:
            return false;
        }
    }
    return true;
}

bool AcceptsNumberKey(std::string_view text, std::size_t first, std::size_t last, char typed,
                      std::uint32_t flags)
{
    last = std::min(last, text.size());
    first = std::min(first, last);
    std::string after(text.substr(0, first));
    after += typed;
    after += text.substr(last);
    return IsNumberText(after, flags);
}

std::size_t SignFlip::Follow(std::size_t position) const
{
    if (shift > 0 && position >= at) {
        return position + 1;
    }
    if (shift < 0 && position > at) {
        return position - 1;
    }
    return position;
}

SignFlip FlipSign(std::string_view text)
{
    SignFlip flip;
    flip.text = text;
    const std::size_t start = text.find_first_not_of("<>= ");
    if (start == std::string_view::npos) {
        return flip;
    }
    flip.at = start;
    if (text[start] == '-') {
        flip.text.erase(start, 1);
        flip.shift = -1;
    } else if (text.find_first_of("123456789", start) != std::string_view::npos) {
        flip.text.insert(start, 1, '-');
        flip.shift = 1;
    }
    return flip;
}
