#pragma once

#include <span>
#include <string_view>

// The lines of the standard English word list (cli/words/eff_large_wordlist.txt,
// CC BY 3.0) as the file holds them, dice numbers included, made into a source
// at build time: the program reads them by the rules of a list file, so the
// built-in list is a file the user did not have to give.
std::span<const std::string_view> BuiltInWordListLines();
