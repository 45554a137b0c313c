#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "batch/exclusion_dictionary.h"
#include "engine/password_count.h"
#include "engine/random_source.h"

// How a passphrase is made: count words drawn uniformly, each independently,
// from the distinct words of a list, joined by the separator.
struct PassphraseRule {
    std::vector<std::string> words;
    std::size_t count = 0;
    std::string separator;

    // Exactly one sequence of words reads as each passphrase (the list keeps
    // no word that would blur where words begin), so there are
    // words.size()^count passphrases, each with that chance.
    PasswordCount Size() const;
    double Bits() const;

    // The passphrase of the words at these places of the list.
    void Compose(const std::uint32_t* places, std::string& out) const;
};

// Reads a word list for passphrases, a line at a time from a regular file of
// at most 16 MiB: UTF-8 text, one word a line, a BOM at the start, CR before
// the line feed, spaces and tabs around a word and blank lines ignored, each
// word capitalised when asked (its first byte, an ASCII letter, made a
// capital), then each distinct word once, in the order of the file. A word is left out when it
// holds a control character, or when a passphrase made with it could read as other words: when it
// holds a character of the separator (well-formed UTF-8), or, without a separator, when it does not
// begin with a capital or holds another one. Answers why the file is refused (not a regular file,
// too large, not UTF-8 text) or could not be read, or an empty text.
std::string LoadPassphraseWords(const std::string& path, const std::string& separator,
                                bool capitalize, std::vector<std::string>& words);

// A place in a list of size words (2 to 2^31), every one alike: drawn from
// 15-bit draws, which every source gives.
std::uint32_t DrawPlace(DrawSource& random, std::uint32_t size);

// How many of the rule's passphrases the dictionary excludes: for each
// different word of it, the passphrases that fold to it, counted over every
// way its text splits into the list's words (folded) and separators.
PasswordCount PassphrasesExcluded(const ExclusionDictionary& dictionary,
                                  const PassphraseRule& rule);
