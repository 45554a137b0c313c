#include "cli/option_values.h"

#include <array>
#include <charconv>

#include "engine/draw_rule.h"
#include "engine/utf8.h"

namespace {

template <typename Value>
struct Named {
    std::string_view name;
    Value value;
};

constexpr std::array<Named<CharacterType>, 4> kTypes = {{
    {"digits", CharacterType::OnlyNumbers},
    {"hex", CharacterType::HexDigits},
    {"letters", CharacterType::OnlyLetters},
    {"mixed", CharacterType::LettersAndNumbers},
}};

constexpr std::array<Named<LetterCase>, 3> kCases = {{
    {"lower", LetterCase::LowerCase},
    {"upper", LetterCase::UpperCase},
    {"mixed", LetterCase::MixCase},
}};

constexpr std::array<Named<OutputFormat>, 3> kFormats = {{
    {"plain", OutputFormat::Plain},
    {"tsv", OutputFormat::Tsv},
    {"json", OutputFormat::Json},
}};

// A whole number within the bounds, in plain decimal digits.
std::optional<int> NumberWithin(std::string_view text, int low, int high)
{
    int value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || text.front() == '-' || error != std::errc() || stop != end || value < low ||
        value > high) {
        return std::nullopt;
    }
    return value;
}

// A name from the list, written whole or as an unambiguous beginning.
template <typename Value, std::size_t size>
std::optional<Value> NameFrom(const std::array<Named<Value>, size>& names, std::string_view text)
{
    std::optional<Value> found;
    int matches = 0;
    for (const auto& named : names) {
        if (named.name == text) {
            return named.value;
        }
        if (!text.empty() && named.name.starts_with(text)) {
            found = named.value;
            ++matches;
        }
    }
    return matches == 1 ? found : std::nullopt;
}

template <typename Value, std::size_t size>
std::string NameList(const std::array<Named<Value>, size>& names)
{
    std::string list;
    for (std::size_t i = 0; i < size; ++i) {
        list += i == 0 ? "" : (i + 1 == size ? " or " : ", ");
        list += names[i].name;
    }
    return list;
}

// shown is the argument as the message names it: an option, quoted, or which
// of the bare arguments it was.
std::string Invalid(std::string_view what, std::string_view value, std::string_view shown,
                    std::string_view allowed)
{
    return "invalid " + std::string(what) + " " + Quoted(value) + " for " + std::string(shown) +
           ": allowed are " + std::string(allowed);
}

const std::string& LengthRange()
{
    static const std::string range = std::to_string(PasswordOptions::kMinLength) + " to " +
                                     std::to_string(PasswordOptions::kMaxLength);
    return range;
}

const std::string& CountRange()
{
    static const std::string range = "1 to " + std::to_string(CliRequest::kMaxCount);
    return range;
}

const std::string& MinimumRange()
{
    static const std::string range = "0 to " + std::to_string(CliRequest::kMaxMinimum);
    return range;
}

const std::string& WordsRange()
{
    static const std::string range = "1 to " + std::to_string(CliRequest::kMaxWords);
    return range;
}

constexpr std::string_view kSeparatorText =
    "characters of UTF-8 text other than control characters (tab, line end)";

constexpr double kMostBits = 4096;
constexpr std::string_view kBitsRange = "a number above 0, at most 4096";

// A number of bits: decimal, above 0, at most kMostBits.
std::optional<double> BitsWithin(std::string_view text)
{
    double value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || error != std::errc() || stop != end || !(value > 0) || value > kMostBits) {
        return std::nullopt;
    }
    return value;
}

// A file the option names; an empty name is refused.
std::optional<std::string> SetPath(std::string_view value, std::string_view shown,
                                   std::string& path)
{
    if (value.empty()) {
        return "empty file name for " + std::string(shown) + ": allowed is the path of a word list";
    }
    path = value;
    return std::nullopt;
}

// A set of characters: printable ASCII other than the space, so every
// password stays one word on any line; a symbol set holds no letter or digit.
std::optional<std::string> ApplySet(OptionId id, std::string_view value, std::string_view shown,
                                    CliRequest& request)
{
    if (id == OptionId::Symbols && value == kNoValue) {
        request.symbolsGiven = true;
        request.symbols = kDefaultSymbols;
        return std::nullopt;
    }
    const bool symbols = id == OptionId::Symbols;
    for (const char c : value) {
        if (c <= ' ' || c > '~' || (symbols && KindOf(c) != CharacterKind::Symbol)) {
            return Invalid("characters", value, shown,
                           symbols ? "printable ASCII punctuation"
                                   : "printable ASCII characters other than the space");
        }
    }
    if (symbols && value.empty()) {
        return "empty set for " + std::string(shown) + ": allowed is printable ASCII punctuation";
    }
    std::string& set =
        symbols ? request.symbols : (id == OptionId::Include ? request.include : request.exclude);
    set = value;
    request.symbolsGiven = request.symbolsGiven || symbols;
    return std::nullopt;
}

std::optional<std::string> ApplyMinimum(OptionId id, std::string_view value, std::string_view shown,
                                        CliRequest& request)
{
    const auto least = NumberWithin(value, 0, CliRequest::kMaxMinimum);
    if (!least) {
        return Invalid("number", value, shown, MinimumRange());
    }
    const CharacterKind kind = id == OptionId::MinLower    ? CharacterKind::Lower
                               : id == OptionId::MinUpper  ? CharacterKind::Upper
                               : id == OptionId::MinDigits ? CharacterKind::Digit
                                                           : CharacterKind::Symbol;
    request.atLeast[static_cast<std::size_t>(kind)] = *least;
    return std::nullopt;
}

} // namespace

std::optional<std::string> ApplyOption(OptionId id, std::string_view value, std::string_view shown,
                                       ParsedCommandLine& parsed)
{
    CliRequest& request = parsed.request;
    PasswordOptions& options = request.options;
    switch (id) {
    case OptionId::Length:
        if (const auto length =
                NumberWithin(value, PasswordOptions::kMinLength, PasswordOptions::kMaxLength)) {
            options.length = *length;
            request.lengthGiven = true;
            return std::nullopt;
        }
        return Invalid("length", value, shown, LengthRange());
    case OptionId::Count:
        if (const auto count = NumberWithin(value, 1, CliRequest::kMaxCount)) {
            request.count = *count;
            return std::nullopt;
        }
        return Invalid("count", value, shown, CountRange());
    case OptionId::Type:
        if (const auto type = NameFrom(kTypes, value)) {
            options.characterType = *type;
            return std::nullopt;
        }
        return Invalid("type", value, shown, NameList(kTypes));
    case OptionId::Case:
        if (const auto letterCase = NameFrom(kCases, value)) {
            options.letterCase = *letterCase;
            return std::nullopt;
        }
        return Invalid("case", value, shown, NameList(kCases));
    case OptionId::Format:
        if (const auto format = NameFrom(kFormats, value)) {
            request.format = *format;
            return std::nullopt;
        }
        return Invalid("format", value, shown, NameList(kFormats));
    case OptionId::Dictionary:
        return SetPath(value, shown, request.dictionaryPath);
    case OptionId::Symbols:
    case OptionId::Include:
    case OptionId::Exclude:
        return ApplySet(id, value, shown, request);
    case OptionId::EveryKind:
        request.everyKind = true;
        return std::nullopt;
    case OptionId::Capitalize:
        request.capitalize = true;
        return std::nullopt;
    case OptionId::Words:
        if (const auto words = NumberWithin(value, 1, CliRequest::kMaxWords)) {
            request.words = *words;
            return std::nullopt;
        }
        return Invalid("number of words", value, shown, WordsRange());
    case OptionId::WordList:
        return SetPath(value, shown, request.wordListPath);
    case OptionId::Separator:
        // Words holding control characters are left out for the same
        // reason: a tab or a line end would split one passphrase into
        // fields or lines.
        if (!IsUtf8(value) || HoldsControl(value)) {
            return Invalid("separator", value, shown, kSeparatorText);
        }
        request.separator = value;
        request.separatorGiven = true;
        return std::nullopt;
    case OptionId::MinBits:
        if (const auto bits = BitsWithin(value)) {
            request.minBits = *bits;
            request.minBitsText = value;
            return std::nullopt;
        }
        return Invalid("number of bits", value, shown, kBitsRange);
    case OptionId::ExcludeSimilar:
    case OptionId::AllowSimilar:
        options.excludeSimilar = id == OptionId::ExcludeSimilar;
        return std::nullopt;
    case OptionId::ExcludeRepeats:
    case OptionId::AllowRepeats:
    case OptionId::NoRepeats:
        request.repeats = id == OptionId::AllowRepeats     ? Repeats::Allowed
                          : id == OptionId::ExcludeRepeats ? Repeats::NotWithinFive
                                                           : Repeats::Never;
        options.excludeDuplicate = request.repeats != Repeats::Allowed;
        return std::nullopt;
    case OptionId::MinLower:
    case OptionId::MinUpper:
    case OptionId::MinDigits:
    case OptionId::MinSymbols:
        return ApplyMinimum(id, value, shown, request);
    case OptionId::Weighted:
        request.weighted = true;
        return std::nullopt;
    case OptionId::Verbose:
        request.verbose = true;
        return std::nullopt;
    case OptionId::Help:
        if (parsed.action != CliAction::ShowVersion) {
            parsed.action = CliAction::ShowHelp;
        }
        return std::nullopt;
    case OptionId::Version:
        if (parsed.action != CliAction::ShowHelp) {
            parsed.action = CliAction::ShowVersion;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::string MissingValue(std::string_view written, OptionId id)
{
    std::string allowed;
    switch (id) {
    case OptionId::Length:
        allowed = LengthRange();
        break;
    case OptionId::Count:
        allowed = CountRange();
        break;
    case OptionId::Type:
        allowed = NameList(kTypes);
        break;
    case OptionId::Case:
        allowed = NameList(kCases);
        break;
    case OptionId::Format:
        allowed = NameList(kFormats);
        break;
    case OptionId::Include:
    case OptionId::Exclude:
        allowed = "printable ASCII characters other than the space";
        break;
    case OptionId::Words:
        allowed = WordsRange();
        break;
    case OptionId::MinBits:
        allowed = kBitsRange;
        break;
    case OptionId::MinLower:
    case OptionId::MinUpper:
    case OptionId::MinDigits:
    case OptionId::MinSymbols:
        allowed = MinimumRange();
        break;
    case OptionId::Separator:
        allowed = kSeparatorText;
        break;
    default:
        allowed = "the path of a word list";
        break;
    }
    return "option " + Quoted(written) + " needs a value: allowed are " + allowed;
}
