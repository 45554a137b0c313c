#include "cli/command_line.h"

#include <array>
#include <charconv>
#include <optional>

#include "engine/draw_rule.h"
#include "engine/utf8.h"
#include "res/version.h"

namespace {

enum class OptionId {
    Length,
    Type,
    Case,
    ExcludeSimilar,
    AllowSimilar,
    ExcludeRepeats,
    AllowRepeats,
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

enum class Takes { Nothing, Value, OptionalValue };

struct OptionTableEntry {
    std::string_view longName;
    char shortName; // '\0': none
    Takes takes;
    OptionId id;
};

constexpr OptionTableEntry kOptionTable[] = {
    {"length", 'l', Takes::Value, OptionId::Length},
    {"type", 't', Takes::Value, OptionId::Type},
    {"case", 'c', Takes::Value, OptionId::Case},
    {"symbols", '\0', Takes::OptionalValue, OptionId::Symbols},
    {"include", '\0', Takes::Value, OptionId::Include},
    {"exclude", '\0', Takes::Value, OptionId::Exclude},
    {"exclude-similar", '\0', Takes::Nothing, OptionId::ExcludeSimilar},
    {"allow-similar", '\0', Takes::Nothing, OptionId::AllowSimilar},
    {"exclude-repeats", '\0', Takes::Nothing, OptionId::ExcludeRepeats},
    {"allow-repeats", '\0', Takes::Nothing, OptionId::AllowRepeats},
    {"every-kind", '\0', Takes::Nothing, OptionId::EveryKind},
    {"words", '\0', Takes::Value, OptionId::Words},
    {"word-list", '\0', Takes::Value, OptionId::WordList},
    {"separator", '\0', Takes::Value, OptionId::Separator},
    {"capitalize", '\0', Takes::Nothing, OptionId::Capitalize},
    {"min-bits", '\0', Takes::Value, OptionId::MinBits},
    {"count", 'n', Takes::Value, OptionId::Count},
    {"dictionary", 'd', Takes::Value, OptionId::Dictionary},
    {"format", 'f', Takes::Value, OptionId::Format},
    {"help", 'h', Takes::Nothing, OptionId::Help},
    {"version", '\0', Takes::Nothing, OptionId::Version},
};

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

// --symbols without a value; no value written can be this one.
constexpr std::string_view kNoValue{"\0", 1};

// A set of characters: printable ASCII other than the space, so every
// password stays one word on any line; a symbol set holds no letter or digit.
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

// Applies one option; answers the reason when its value is refused.
std::optional<std::string> Apply(OptionId id, std::string_view value, std::string_view shown,
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
        options.excludeDuplicate = id == OptionId::ExcludeRepeats;
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

std::string OptionNames()
{
    std::string names;
    for (const OptionTableEntry& option : kOptionTable) {
        names += (names.empty() ? "--" : ", --") + std::string(option.longName);
    }
    return names;
}

// The option a long name stands for: itself, or the one option it begins.
const OptionTableEntry* LongOption(std::string_view name, std::string& error)
{
    const OptionTableEntry* found = nullptr;
    std::string candidates;
    int matches = 0;
    for (const OptionTableEntry& option : kOptionTable) {
        if (option.longName == name) {
            return &option;
        }
        if (!name.empty() && option.longName.starts_with(name)) {
            found = &option;
            candidates += (matches++ == 0 ? "--" : ", --") + std::string(option.longName);
        }
    }
    if (matches > 1) {
        error = "option " + Quoted("--" + std::string(name)) + " is ambiguous: allowed are " +
                candidates;
        return nullptr;
    }
    if (found == nullptr) {
        error = "unrecognized option " + Quoted("--" + std::string(name)) + ": allowed are " +
                OptionNames();
    }
    return found;
}

const OptionTableEntry* ShortOption(char name)
{
    for (const OptionTableEntry& option : kOptionTable) {
        if (option.shortName == name && name != '\0') {
            return &option;
        }
    }
    return nullptr;
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
    case OptionId::Separator:
        allowed = kSeparatorText;
        break;
    default:
        allowed = "the path of a word list";
        break;
    }
    return "option " + Quoted(written) + " needs a value: allowed are " + allowed;
}

// Walks the arguments once; each step reads one argument, and the value of
// an option that takes the next one.
class Parser {
public:
    explicit Parser(std::span<const std::string_view> all) : arguments(all) {}

    ParsedCommandLine Run()
    {
        bool optionsEnded = false;
        for (next = 0; next < arguments.size() && parsed.error.empty();) {
            const std::string_view argument = arguments[next++];
            if (optionsEnded || argument == "-" || !argument.starts_with('-')) {
                Positional(argument);
            } else if (argument == "--") {
                optionsEnded = true;
            } else if (argument.starts_with("--")) {
                Long(argument);
            } else {
                Shorts(argument);
            }
        }
        if (!parsed.error.empty()) {
            parsed.action = CliAction::Refuse;
        }
        return std::move(parsed);
    }

private:
    void Fail(std::string reason)
    {
        if (parsed.error.empty()) {
            parsed.error = std::move(reason);
        }
    }

    void Take(const OptionTableEntry& option, std::string_view value, std::string_view shown)
    {
        if (auto error = Apply(option.id, value, shown, parsed)) {
            Fail(std::move(*error));
        }
    }

    void Long(std::string_view argument)
    {
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(2, equals - 2);
        std::string error;
        const OptionTableEntry* option = LongOption(name, error);
        if (option == nullptr) {
            return Fail(std::move(error));
        }
        const std::string written = "--" + std::string(option->longName);
        if (option->takes == Takes::Nothing) {
            if (equals != std::string_view::npos) {
                return Fail("option " + Quoted(written) + " takes no value, not " +
                            Quoted(argument.substr(equals + 1)));
            }
            return Take(*option, {}, Quoted(written));
        }
        if (equals != std::string_view::npos) {
            return Take(*option, argument.substr(equals + 1), Quoted(written));
        }
        if (option->takes == Takes::OptionalValue) {
            return Take(*option, kNoValue, Quoted(written));
        }
        if (next == arguments.size()) {
            return Fail(MissingValue(written, option->id));
        }
        Take(*option, arguments[next++], Quoted(written));
    }

    // "-l16", "-l 16", and flags together: "-hl16".
    void Shorts(std::string_view argument)
    {
        for (std::size_t at = 1; at < argument.size() && parsed.error.empty(); ++at) {
            const std::string written = "-" + std::string(1, argument[at]);
            const OptionTableEntry* option = ShortOption(argument[at]);
            if (option == nullptr) {
                std::string allowed;
                for (const OptionTableEntry& known : kOptionTable) {
                    if (known.shortName != '\0') {
                        allowed +=
                            (allowed.empty() ? "-" : ", -") + std::string(1, known.shortName);
                    }
                }
                return Fail("unrecognized option " + Quoted(written) + ": allowed are " + allowed +
                            " and the long options of --help");
            }
            if (option->takes == Takes::Nothing) {
                Take(*option, {}, Quoted(written));
                continue;
            }
            if (at + 1 < argument.size()) {
                return Take(*option, argument.substr(at + 1), Quoted(written));
            }
            if (next == arguments.size()) {
                return Fail(MissingValue(written, option->id));
            }
            return Take(*option, arguments[next++], Quoted(written));
        }
    }

    // As pwgen reads them: a length first, then a count.
    void Positional(std::string_view argument)
    {
        const OptionId ids[] = {OptionId::Length, OptionId::Count};
        const char* const names[] = {"the length argument", "the count argument"};
        if (positionals == 2) {
            return Fail("unexpected argument " + Quoted(argument) +
                        ": allowed are options, then at most a length and a count");
        }
        const int index = positionals++;
        for (const OptionTableEntry& option : kOptionTable) {
            if (option.id == ids[index]) {
                Take(option, argument, names[index]);
            }
        }
    }

    std::span<const std::string_view> arguments;
    std::size_t next = 0;
    int positionals = 0;
    ParsedCommandLine parsed;
};

} // namespace

std::string Quoted(std::string_view text)
{
    constexpr char kHex[] = "0123456789abcdef";
    std::string quoted = "'";
    while (!text.empty()) {
        const Utf8Sequence sequence = FirstSequence(text);
        const std::string_view part = text.substr(0, sequence.length);
        if (sequence.wellFormed && !HoldsControl(part)) {
            quoted += part;
        } else {
            for (const char c : part) {
                const auto byte = static_cast<unsigned char>(c);
                quoted += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
            }
        }
        text.remove_prefix(sequence.length);
    }
    return quoted + "'";
}

ParsedCommandLine ParseCommandLine(std::span<const std::string_view> arguments)
{
    return Parser(arguments).Run();
}

std::string_view HelpText()
{
    return "Usage: sorvane-cli [OPTION]... [LENGTH] [COUNT]\n"
           "Print random passwords drawn from the system's secure generator, all different.\n"
           "\n"
           "  -l, --length=N          characters per password, 3 to 64 (default 10)\n"
           "  -t, --type=TYPE         digits, hex, letters, or mixed: letters and digits\n"
           "                          (default)\n"
           "  -c, --case=CASE         lower, upper or mixed (default) for the letters\n"
           "      --symbols[=SET]     add symbols: SET, or +-./:_ (no shell or form needs\n"
           "                          them quoted)\n"
           "      --include=CHARS     add these characters\n"
           "      --exclude=CHARS     leave these characters out\n"
           "      --exclude-similar   leave out the look-alikes 0Ooli1Ij (default)\n"
           "      --allow-similar     let the look-alikes in\n"
           "      --exclude-repeats   no character twice, in either case, within five\n"
           "                          positions (default)\n"
           "      --allow-repeats     let characters repeat\n"
           "      --every-kind        at least one of each kind in play (small letter,\n"
           "                          capital, digit, symbol): the whole password is\n"
           "                          drawn again until it holds them\n"
           "      --words=N           a passphrase of N words (1 to 32) from --word-list or\n"
           "                          the built-in list: the standard English one of 7776\n"
           "                          words (CC BY 3.0; its notice and licence are in\n"
           "                          LICENSE-eff-wordlist.txt, which comes with the\n"
           "                          program); for --min-bits, a passphrase is asked\n"
           "                          for by --word-list, --separator or --capitalize\n"
           "      --word-list=FILE    the words, one a line (or after its dice number),\n"
           "                          UTF-8, at most 16 MiB\n"
           "      --separator=TEXT    between the words (default a space); no control\n"
           "                          character; an empty one needs --capitalize,\n"
           "                          whose capitals mark the words; a word holding a\n"
           "                          character of it is left out, as a note says\n"
           "      --capitalize        each word with a capital first letter\n"
           "      --min-bits=B        instead of --length or --words: the fewest that give\n"
           "                          every password at least B bits of information\n"
           "  -n, --count=N           how many passwords, 1 to 10000000 (default 1)\n"
           "  -d, --dictionary=FILE   words the passwords must not be, one a line\n"
           "  -f, --format=FORMAT     plain: one password a line (default);\n"
           "                          tsv: the dialog's saved-list text, with rating and\n"
           "                          spelling; json: an array with the rating in bits,\n"
           "                          the spelling and the exact information in bits\n"
           "  -h, --help              show this help and exit\n"
           "      --version           show the version and exit\n"
           "\n"
           "Without --symbols, --include and --exclude the draw is the dialog's (with\n"
           "letters and digits, half of the draws are digits); with any of them every\n"
           "character of the set is equally likely. The information in bits is exact for\n"
           "every option: minus log2 of the chance that this run's rule gives the\n"
           "password (with --every-kind, counted over the passwords that hold every kind;\n"
           "for a passphrase, words x log2 of the distinct words of the list).\n"
           "\n"
           "Long names may be shortened while they stay unambiguous; --opt=VALUE and\n"
           "--opt VALUE are the same (--symbols takes its SET only as --symbols=SET).\n"
           "LENGTH and COUNT may also follow the options.\n"
           "\n"
           "Exit status: 0 when every password was made; 1 when the options allow fewer\n"
           "different passwords than asked for, or none (those made are printed), the\n"
           "system's generator failed or the output could not be written; 2 for a bad\n"
           "argument or a word list that cannot be read, is no regular file, is too\n"
           "large or is not UTF-8.\n";
}

// The bare version, so that a script can compare it without cutting a name off.
std::string_view VersionText()
{
    return SORVANE_VERSION_TEXT "\n";
}
