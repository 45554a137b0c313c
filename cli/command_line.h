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

    PasswordOptions options;
    int count = 1;
    std::string dictionaryPath; // empty: no word list
    OutputFormat format = OutputFormat::Plain;
};

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

// The text --help prints, and --version's line.
std::string_view HelpText();
std::string_view VersionText();
