#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// How the command line spells a password out, one word or name a character
// apart by " - ": the Windows program's word for each letter and digit (a
// capital's in capitals: "aB3" is "air - BIT - three"), and a name for each
// of the symbols the command line can put in a password, which the Windows
// program never makes ("sea - hyphen - eight"). A character beyond ASCII, as
// a passphrase's separator may hold, stands for itself.
std::string CliSpelling(std::string_view password);

// The room CliSpellInto needs for a password of the given length: a slot of
// kSpellingSlot bytes a character, the longest name and its break.
inline constexpr std::size_t kSpellingSlot = 24;

constexpr std::size_t CliSpellingRoom(std::size_t length)
{
    return kSpellingSlot * length;
}

// Writes the spelling to out, which has CliSpellingRoom(password.size())
// bytes, and answers its length; the bytes after it are scratch. Copying a
// whole slot a character is what keeps spelling a million passwords cheap.
std::size_t CliSpellInto(std::string_view password, char* out);
