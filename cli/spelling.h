#pragma once

#include <string>
#include <string_view>

// How the command line spells a password out, one word or name a character
// apart by " - ": the Windows program's word for each letter and digit (a
// capital's in capitals: "aB3" is "air - BIT - three"), and a name for each
// of the symbols the command line can put in a password, which the Windows
// program never makes ("sea - hyphen - eight"). A character beyond ASCII, as
// a passphrase's separator may hold, stands for itself.
void AppendSpelling(std::string& out, std::string_view password);

std::string Spelling(std::string_view password);
