#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Spells a password out one word per character: "aB3" becomes
// "air - BIT - three". Capitals are marked by writing their word in capitals;
// a character beyond ASCII (a passphrase's, in UTF-8) stands for itself.
std::string PhoneticSpelling(std::string_view password);

// The room SpellInto needs for a password of the given length: eight bytes
// per character, a word of at most five letters and its separator of three.
constexpr std::size_t SpellingRoom(std::size_t length)
{
    return 8 * length;
}

// Writes the spelling to out, which has SpellingRoom(password.size()) bytes,
// and answers its length; the bytes after the spelling are scratch. Copying a
// fixed eight bytes per character is what makes spelling cheap.
std::size_t SpellInto(std::string_view password, char* out);
