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

// Why a word of a list was left out: a passphrase made with it could not be
// read back as one sequence of words, or could be taken for an option.
enum class LeftOutReason {
    Control,   // it holds a control character
    Separator, // it holds a character of the separator
    Hyphen,    // it begins with a hyphen, which would begin a passphrase too
    NoCapital, // without a separator: it does not begin with a capital
    Capitals,  // without a separator: it holds a capital past its first letter
};
inline constexpr std::size_t kLeftOutReasons = 5;

// The distinct words of a list that a passphrase may use, in the order of the
// list, and how many distinct words were left out for each reason (the first
// that holds).
struct PassphraseWords {
    std::vector<std::string> words;
    std::size_t leftOut[kLeftOutReasons] = {};

    std::size_t LeftOut() const;
};

// Reads a word list for passphrases, a line at a time from a regular file of
// at most 16 MiB: UTF-8 text, one word a line, a BOM at the start, CR before
// the line feed, spaces and tabs around a word and blank lines ignored. A line
// of a list made for dice, a number of the digits 1 to 6, then spaces or a tab
// and one word, is that word; any other line is its word whole. Each word is
// capitalised when asked (its first byte, an ASCII letter, made a capital) and
// left out when a passphrase made with it could read as other words (see
// LeftOutReason); then each distinct word is kept once. Answers why the file
// is refused (not a regular file, too large, not UTF-8 text) or could not be
// read, or an empty text.
std::string LoadPassphraseWords(const std::string& path, const std::string& separator,
                                bool capitalize, PassphraseWords& list);

// The same for the list built into the program: the standard English list.
void LoadBuiltInPassphraseWords(const std::string& separator, bool capitalize,
                                PassphraseWords& list);

// How many words were left out and why, as a message shows it after "left
// out: ", e.g. "3 holding the separator '-', 2 not beginning with a letter A to
// Z"; empty when none was.
std::string LeftOutReasons(const PassphraseWords& list, const std::string& separator);

// The note for a list that was taken although words were left out, e.g. "4
// words of the list hold the separator '-' and are left out; 7772 remain";
// empty when none was.
std::string LeftOutNote(const PassphraseWords& list, const std::string& separator);

// A place in a list of size words (2 to 2^31), every one alike: drawn from
// 15-bit draws, which every source gives.
std::uint32_t DrawPlace(DrawSource& random, std::uint32_t size);

// How many of the rule's passphrases the dictionary excludes: for each
// different word of it, the passphrases that fold to it, counted over every
// way its text splits into the list's words (folded) and separators.
PasswordCount PassphrasesExcluded(const ExclusionDictionary& dictionary,
                                  const PassphraseRule& rule);
