#pragma once

#include <span>
#include <string>
#include <string_view>

#include "engine/draw_rule.h"
#include "engine/password_options.h"

enum class OutputFormat { Plain, Tsv, Json };

// What the command line asks for. The type, case and look-alike rule start as
// the Windows program's at its first start; the draw is even unless weighted,
// and the length, when none is given, the shortest that gives 80 bits.
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

    // The fewest bits of information every password carries when neither a
    // length, --min-bits nor a number of words is given.
    static constexpr double kDefaultBits = 80;

    // The most characters of a kind a minimum can ask for.
    static constexpr int kMaxMinimum = PasswordOptions::kMaxLength;

    // The Windows program's weights instead of an even draw.
    bool weighted = false;
    Repeats repeats = Repeats::NotWithinFive;

    // Characters beyond the type's.
    bool symbolsGiven = false;
    std::string symbols; // with symbolsGiven: the symbol kind's characters
    std::string include;
    std::string exclude;
    bool everyKind = false;
    // By CharacterKind: the fewest of the kind each password holds.
    std::array<int, kCharacterKinds> atLeast{};
    bool lengthGiven = false;
    double minBits = 0;      // 0: not asked for
    std::string minBitsText; // as written

    // Passphrases: words of a list instead of characters.
    int words = 0; // 0: not given
    std::string wordListPath;
    std::string separator = " ";
    bool separatorGiven = false;
    bool capitalize = false;

    // Tell on standard error how many passwords the options allow and the
    // least information of any.
    bool verbose = false;

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
