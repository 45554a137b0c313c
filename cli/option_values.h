#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/command_line.h"

// The options of the command line, and what each one's value means.
enum class OptionId {
    Length,
    Type,
    Case,
    ExcludeSimilar,
    AllowSimilar,
    ExcludeRepeats,
    AllowRepeats,
    NoRepeats,
    Weighted,
    MinLower,
    MinUpper,
    MinDigits,
    MinSymbols,
    Verbose,
    Count,
    Dictionary,
    Format,
    Symbols,
    Include,
    Exclude,
    EveryKind,
    Words,
    WordList,
    Separator,
    Capitalize,
    MinBits,
    Help,
    Version,
};

// --symbols without a value; no value written can be this one.
inline constexpr std::string_view kNoValue{"\0", 1};

// Applies one option's value to the request; answers the reason when the
// value is refused. shown is the argument as the message names it: an
// option, quoted, or which of the bare arguments it was.
std::optional<std::string> ApplyOption(OptionId id, std::string_view value, std::string_view shown,
                                       ParsedCommandLine& parsed);

// Why an option written last, without its value, is refused.
std::string MissingValue(std::string_view written, OptionId id);
