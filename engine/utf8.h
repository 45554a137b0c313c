#pragma once

#include <cstddef>
#include <string_view>

// Text of the command line's word lists and separators is UTF-8, and only
// well-formed UTF-8: no overlong form, no surrogate, nothing above U+10FFFF,
// no sequence cut short. Anything else is refused where it comes in, so the
// program's output carries the same characters in every format.

// The sequence a text begins with.
struct Utf8Sequence {
    std::size_t length; // 1 to 4
    // False: the first length bytes are the longest start of a well-formed
    // sequence that the text holds, at least one byte, which a reader
    // replaces with one U+FFFD.
    bool wellFormed;
};

// The sequence text (not empty) begins with.
Utf8Sequence FirstSequence(std::string_view text);

bool IsUtf8(std::string_view text);

// Whether well-formed text holds a control character: U+0000 to U+001F and
// U+007F to U+009F, which split lines or fields or drive a terminal.
bool HoldsControl(std::string_view text);
