#include "cli/command_line.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "cli/option_hints.h"
#include "cli/option_values.h"
#include "engine/draw_rule.h"
#include "engine/utf8.h"
#include "res/version.h"

namespace {

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
    {"no-repeats", '\0', Takes::Nothing, OptionId::NoRepeats},
    {"weighted", '\0', Takes::Nothing, OptionId::Weighted},
    {"min-lower", '\0', Takes::Value, OptionId::MinLower},
    {"min-upper", '\0', Takes::Value, OptionId::MinUpper},
    {"min-digits", '\0', Takes::Value, OptionId::MinDigits},
    {"min-symbols", '\0', Takes::Value, OptionId::MinSymbols},
    {"every-kind", '\0', Takes::Nothing, OptionId::EveryKind},
    {"words", '\0', Takes::Value, OptionId::Words},
    {"word-list", '\0', Takes::Value, OptionId::WordList},
    {"separator", '\0', Takes::Value, OptionId::Separator},
    {"capitalize", '\0', Takes::Nothing, OptionId::Capitalize},
    {"min-bits", '\0', Takes::Value, OptionId::MinBits},
    {"count", 'n', Takes::Value, OptionId::Count},
    {"dictionary", 'd', Takes::Value, OptionId::Dictionary},
    {"format", 'f', Takes::Value, OptionId::Format},
    {"verbose", 'v', Takes::Nothing, OptionId::Verbose},
    {"help", 'h', Takes::Nothing, OptionId::Help},
    {"version", '\0', Takes::Nothing, OptionId::Version},
};

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
        std::vector<std::string_view> names;
        for (const OptionTableEntry& option : kOptionTable) {
            names.push_back(option.longName);
        }
        const std::string_view nearest = NearestName(name, names);
        error = "unrecognized option " + Quoted("--" + std::string(name)) +
                (nearest.empty() ? ": allowed are " + OptionNames()
                                 : ": did you mean --" + std::string(nearest) + "?");
    }
    return found;
}

// The set of --symbols written as an argument of its own, which the option
// never takes (a bare --symbols adds the default symbols), so the set was
// read as a length or as options and refused: the message shows the form
// that takes it.
std::optional<std::string> SymbolsSetHint(std::string_view argument)
{
    const bool punctuation =
        !argument.empty() && std::all_of(argument.begin(), argument.end(), [](char c) {
            return c > ' ' && c <= '~' && KindOf(c) == CharacterKind::Symbol;
        });
    if (!punctuation) {
        return std::nullopt;
    }
    return Quoted("--symbols") +
           " takes its set only as --symbols=SET: did you mean --symbols=" + ShellQuoted(argument) +
           "?";
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

// Walks the arguments once; each step reads one argument, and the value of
// an option that takes the next one.
class Parser {
public:
    explicit Parser(std::span<const std::string_view> all) : arguments(all) {}

    ParsedCommandLine Run()
    {
        bool optionsEnded = false;
        for (next = 0; next < arguments.size() && parsed.error.empty();) {
            const std::size_t at = next;
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
            if (!parsed.error.empty() && at == afterBareSymbols) {
                if (auto hint = SymbolsSetHint(argument)) {
                    parsed.error = std::move(*hint);
                }
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
        if (auto error = ApplyOption(option.id, value, shown, parsed)) {
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
            afterBareSymbols = next;
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
    // The argument after a --symbols without a set.
    std::size_t afterBareSymbols = std::string_view::npos;
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
           "Every character of the set is equally likely, and without a length each\n"
           "password carries at least 80 bits of information: by default, 15 letters and\n"
           "digits, the look-alikes left out, none twice within five positions.\n"
           "\n"
           "  -l, --length=N          characters per password, 3 to 64 (default: the\n"
           "                          shortest that gives every password 80 bits)\n"
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
           "      --no-repeats        no character twice anywhere in the password, in\n"
           "                          either case: a and A count as the same\n"
           "      --weighted          letters and digits with the Windows program's\n"
           "                          weights, not evenly: with both, half of the draws\n"
           "                          are digits; not with a set of characters\n"
           "      --min-lower=N       at least N small letters (0 to 64)\n"
           "      --min-upper=N       at least N capitals\n"
           "      --min-digits=N      at least N digits\n"
           "      --min-symbols=N     at least N symbols; a password short of a minimum\n"
           "                          is drawn again whole\n"
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
           "                          character of it, or beginning with a hyphen, is\n"
           "                          left out, as a note says\n"
           "      --capitalize        each word with a capital first letter\n"
           "      --min-bits=B        instead of --length or --words: the fewest that give\n"
           "                          every password at least B bits of information\n"
           "  -n, --count=N           how many passwords, 1 to 10000000 (default 1)\n"
           "  -d, --dictionary=FILE   words the passwords must not be, one a line\n"
           "  -f, --format=FORMAT     plain: one password a line (default);\n"
           "                          tsv: the Windows program's saved list, with the\n"
           "                          information cut to whole bits and the spelling;\n"
           "                          json: an array with the exact information in bits,\n"
           "                          the spelling and the Windows program's rating\n"
           "  -v, --verbose           tell on standard error how many passwords the\n"
           "                          options allow and the least information of any\n"
           "  -h, --help              show this help and exit\n"
           "      --version           show the version and exit\n"
           "\n"
           "The information in bits is exact for every option: minus log2 of the chance\n"
           "that this run's rule gives the password (with minimums of a kind, counted\n"
           "over the passwords that hold them; for a passphrase, words x log2 of the\n"
           "distinct words of the list). No password begins with a hyphen, which a\n"
           "program handed it could take for an option.\n"
           "\n"
           "Examples:\n"
           "  sorvane-cli -n 5 -v               five passwords, and on standard error\n"
           "                                    how many there are and their least bits\n"
           "  sorvane-cli -l 16 --symbols='!@#$%' --every-kind\n"
           "                                    a small letter, a capital, a digit and\n"
           "                                    one of the five symbols\n"
           "  sorvane-cli -t digits -l 6 --allow-similar --allow-repeats\n"
           "                                    a six-digit PIN, 0 and 1 included\n"
           "  sorvane-cli --min-bits=100 --symbols --min-digits=2 -f json\n"
           "                                    the shortest with 100 bits, two digits\n"
           "                                    at least, with their figures\n"
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
