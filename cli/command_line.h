#pragma once

#include <span>
#include <string>
#include <string_view>

#include "engine/password_options.h"

enum class OutputFormat { Plain, Tsv, Json };

// What the command line asks for. The options start as the dialog's at its
// first start; only the count differs, one password rather than ten.
struct CliRequest {
    // The largest count a run takes. The uniqueness test keeps eight bytes
    // for each password of the run: ten million take about 107 MB at any
    // length.
    static constexpr int kMaxCount = 10'000'000;

    static constexpr int kMaxWords = 32;

    PasswordOptions options;
    int count = 1;
    std::string dictionaryPath; // empty: no word list
    OutputFormat format = OutputFormat::Plain;

    // Characters beyond the dialog's. Any of these sets makes the draw one
    // of every character of the resulting set alike.
    bool symbolsGiven = false;
    std::string symbols; // with symbolsGiven: the symbol kind's characters
    std::string include;
    std::string exclude;
    bool everyKind = false;
    bool lengthGiven = false;
    double minBits = 0;      // 0: not asked for
    std::string minBitsText; // as written

    // Passphrases: words of a list instead of characters.
    int words = 0; // 0: not given
    std::string wordListPath;
    std::string separator = " ";
    bool separatorGiven = false;
    bool capitalize = false;

    bool CharacterSetsGiven() const { return symbolsGiven || !include.empty() || !exclude.empty(); }
};

// The symbols --symbols adds when it names none: the printable ASCII
// punctuation that no common shell (POSIX shells, zsh, cmd.exe, PowerShell)
// treats specially anywhere in a word, and that forms take as typed.
inline constexpr std::string_view kDefaultSymbols = "+-./:_";

enum class CliAction { Generate, ShowHelp, ShowVersion, Refuse };

struct ParsedCommandLine {
    CliAction action = CliAction::Generate;
    CliRequest request;
    // Refuse: why, on one line, naming the argument and what it allows.
    std::string error;
};

// Reads the arguments after the program's name, the way GNU tools read them:
// "--length=16", "--length 16", "--len 16" (any unambiguous beginning of a
// long name), "-l16", "-l 16", "--" before arguments that are no options. As
// pwgen does, a length and then a count may also stand alone. A later setting
// replaces an earlier one; --help and --version win over everything but a
// bad argument.
ParsedCommandLine ParseCommandLine(std::span<const std::string_view> arguments);

// The text in single quotes as a message shows it: the bytes of a control
// character or of no UTF-8 character as \xNN each, so that the message stays
// one line of text and a terminal takes nothing in it for a command.
std::string Quoted(std::string_view text);

// The text --help prints, and --version's line.
std::string_view HelpText();
std::string_view VersionText();
