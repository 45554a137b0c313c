#include "cli/run_plan.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/rule_walk.h"

namespace {

// The characters of the options' type and case, look-alikes out when they
// are excluded, then the symbols and the included ones, less the excluded.
std::string CharacterSet(const CliRequest& request)
{
    const Alphabet dialog = DialogRule(request.options).alphabet;
    std::string set;
    for (int byte = 1; byte < 256; ++byte) {
        if (dialog.weight[static_cast<std::size_t>(byte)] != 0) {
            set.push_back(static_cast<char>(byte));
        }
    }
    set += request.symbols + request.include;
    std::erase_if(set, [&](char c) { return request.exclude.find(c) != std::string::npos; });
    return set;
}

constexpr std::array<const char*, kCharacterKinds> kMinimumOptions = {
    "--min-lower", "--min-upper", "--min-digits", "--min-symbols"};

// Which option an option of characters given with passphrases is, if any.
std::string CharacterOptionGiven(const CliRequest& request)
{
    if (request.symbolsGiven) {
        return "--symbols";
    }
    if (!request.include.empty()) {
        return "--include";
    }
    if (!request.exclude.empty()) {
        return "--exclude";
    }
    if (request.everyKind) {
        return "--every-kind";
    }
    for (int kind = 0; kind < kCharacterKinds; ++kind) {
        if (request.atLeast[static_cast<std::size_t>(kind)] > 0) {
            return kMinimumOptions[static_cast<std::size_t>(kind)];
        }
    }
    if (request.weighted || request.repeats == Repeats::Never) {
        return request.weighted ? "--weighted" : "--no-repeats";
    }
    return request.lengthGiven ? "--length" : "";
}

std::string PlanPassphrases(const CliRequest& request, RunPlan& plan)
{
    if (const std::string option = CharacterOptionGiven(request); !option.empty()) {
        return "option " + Quoted(option) +
               " applies to characters, not to the words of a passphrase";
    }
    if (request.separator.empty() && !request.capitalize) {
        return "empty " + Quoted("--separator") + " without " + Quoted("--capitalize") +
               ": allowed is an empty separator only where capitals mark the words";
    }
    PassphraseWords list;
    std::string listName = "the built-in word list";
    if (request.wordListPath.empty()) {
        LoadBuiltInPassphraseWords(request.separator, request.capitalize, list);
    } else {
        if (const std::string problem = LoadPassphraseWords(request.wordListPath, request.separator,
                                                            request.capitalize, list);
            !problem.empty()) {
            return "cannot read the word list " + Quoted(request.wordListPath) + ": " + problem;
        }
        listName = "word list " + Quoted(request.wordListPath) + " for " + Quoted("--word-list");
    }
    const std::size_t kept = list.words.size();
    if (kept < 2 || kept > (std::size_t{1} << 31)) {
        const std::string reasons = LeftOutReasons(list, request.separator);
        return listName + " has " + std::to_string(kept) +
               (kept == 1 ? " distinct word that keeps" : " distinct words that keep") +
               " a passphrase readable: allowed are 2 or more" +
               (reasons.empty() ? "" : " (left out: " + reasons + ")");
    }
    if (const std::string note = LeftOutNote(list, request.separator); !note.empty()) {
        // The list is taken, but with fewer words than it holds: the user
        // hears how many and why, apart from the passphrases on the output.
        std::fprintf(stderr, "sorvane-cli: note: %s\n", note.c_str());
    }
    PassphraseRule& rule = plan.passphrase;
    rule.separator = request.separator;
    rule.words = std::move(list.words);
    plan.passphrases = true;
    rule.count = static_cast<std::size_t>(request.words);
    if (request.minBits > 0) {
        for (rule.count = 1; rule.count <= CliRequest::kMaxWords; ++rule.count) {
            if (rule.Bits() >= request.minBits) {
                return {};
            }
        }
        rule.count = CliRequest::kMaxWords;
        return "invalid number of bits " + Quoted(request.minBitsText) + " for " +
               Quoted("--min-bits") + ": these words reach at most " + TenthsCut(rule.Bits()) +
               " bits at " + std::to_string(CliRequest::kMaxWords) + " words";
    }
    return {};
}

// How far a rule's passwords reach: the shortest length from some length up
// at which every password carries a target of bits, or, when none does, the
// most bits the least likely password carries at any length and where.
struct Reach {
    int length = 0; // 0: the target is reached at no length
    double most = 0;
    int mostAt = 0; // 0: no length gives a password at all
};

// A length at which the rule gives no password at all reaches nothing,
// however infinite the least information of its none is.
Reach ShortestReaching(const DrawRule& rule, int shortest, double target)
{
    const std::vector<double> least =
        LeastInformation(rule, static_cast<std::size_t>(PasswordOptions::kMaxLength));
    Reach reach;
    for (int length = shortest; length <= PasswordOptions::kMaxLength; ++length) {
        const double bits = least[static_cast<std::size_t>(length)];
        if (!std::isfinite(bits)) {
            continue;
        }
        if (bits >= target) {
            reach.length = length;
            return reach;
        }
        if (bits >= reach.most) {
            reach.most = bits;
            reach.mostAt = length;
        }
    }
    return reach;
}

// The shortest length at which every password carries the bits --min-bits
// asks for, or, without it, the default's.
std::string PlanBits(const CliRequest& request, int shortest, RunPlan& plan)
{
    const bool asked = request.minBits > 0;
    const Reach reach =
        ShortestReaching(plan.rule, shortest, asked ? request.minBits : CliRequest::kDefaultBits);
    if (reach.length != 0 || reach.mostAt == 0) {
        // Where no length gives a password the run says so, as with a length.
        plan.length = reach.length != 0 ? reach.length : shortest;
        return {};
    }
    const std::string most =
        TenthsCut(reach.most) + " bits at " + std::to_string(reach.mostAt) + " characters";
    if (asked) {
        return "invalid number of bits " + Quoted(request.minBitsText) + " for " +
               Quoted("--min-bits") + ": these options reach at most " + most;
    }
    return "no length given, and these options reach at most " + most + ", short of the " +
           std::to_string(static_cast<int>(CliRequest::kDefaultBits)) +
           " bits of the default length: allowed are " + Quoted("--length") + " or " +
           Quoted("--min-bits");
}

// "a, b and c".
std::string Listed(const std::vector<std::string>& parts)
{
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        text += (i == 0 ? "" : (i + 1 == parts.size() ? " and " : ", ")) + parts[i];
    }
    return text;
}

// "1 small letter, 3 digits and 1 symbol".
std::string MinimumsText(const DrawRule& rule)
{
    constexpr std::array<const char*, kCharacterKinds> kNames = {"small letter", "capital", "digit",
                                                                 "symbol"};
    std::vector<std::string> parts;
    for (std::size_t kind = 0; kind < kNames.size(); ++kind) {
        if (const int least = rule.atLeast[kind]; least > 0) {
            parts.push_back(std::to_string(least) + " " + kNames[kind] + (least > 1 ? "s" : ""));
        }
    }
    return Listed(parts);
}

// The options that set the minimums, quoted: "'--every-kind' and '--min-digits'".
std::string MinimumsOptions(const CliRequest& request)
{
    std::vector<std::string> given;
    if (request.everyKind) {
        given.push_back(Quoted("--every-kind"));
    }
    for (std::size_t kind = 0; kind < kMinimumOptions.size(); ++kind) {
        if (request.atLeast[kind] > 0) {
            given.push_back(Quoted(kMinimumOptions[kind]));
        }
    }
    return Listed(given);
}

std::string PlanLength(const CliRequest& request, RunPlan& plan)
{
    int least = 0;
    for (const int count : plan.rule.atLeast) {
        least += count;
    }
    if (least > PasswordOptions::kMaxLength) {
        return MinimumsOptions(request) + " ask for " + std::to_string(least) + " characters, " +
               MinimumsText(plan.rule) + ": allowed are " +
               std::to_string(PasswordOptions::kMaxLength) + " at most, the longest password";
    }
    if (request.lengthGiven && plan.length < least) {
        return "length " + std::to_string(plan.length) + " too short for " +
               MinimumsOptions(request) + ": allowed are " + std::to_string(least) +
               " or more, for " + MinimumsText(plan.rule);
    }
    if (!request.lengthGiven) {
        return PlanBits(request, std::max(PasswordOptions::kMinLength, least), plan);
    }
    return {};
}

// Options that cannot go together, and minimums of a kind the set lacks.
std::string RefusedRule(const CliRequest& request, const DrawRule& rule)
{
    if (request.weighted && request.CharacterSetsGiven()) {
        return "option " + Quoted("--weighted") +
               " draws with the Windows program's weights, which only its types of characters "
               "have: allowed without " +
               Quoted("--symbols") + ", " + Quoted("--include") + " and " + Quoted("--exclude");
    }
    if (rule.alphabet.Total() == 0) {
        return "no character left for the passwords: " + Quoted("--exclude=" + request.exclude) +
               " takes out every one the other options give";
    }
    constexpr std::array<const char*, kCharacterKinds> kPlural = {"small letters", "capitals",
                                                                  "digits", "symbols"};
    const unsigned kinds = rule.alphabet.Kinds();
    for (std::size_t kind = 0; kind < kPlural.size(); ++kind) {
        if (request.atLeast[kind] > 0 && (kinds >> kind & 1u) == 0) {
            return "option " + Quoted(kMinimumOptions[kind]) + " asks for " + kPlural[kind] +
                   ", which these options leave out: allowed with a type, case, " +
                   Quoted("--symbols") + " or " + Quoted("--include") + " that gives them";
        }
    }
    return {};
}

} // namespace

std::string TenthsCut(double bits)
{
    char text[32];
    const double tenths = std::floor(bits * 10) / 10;
    const auto end =
        std::to_chars(text, text + sizeof text, tenths, std::chars_format::fixed, 1).ptr;
    return std::string(text, end);
}

RunPlan CharacterPlan(const CliRequest& request)
{
    // The one place the command line chooses its rule: every character of
    // the set alike, unless the Windows program's weights are asked for.
    RunPlan plan;
    plan.rule = request.weighted ? DialogRule(request.options)
                                 : CharacterSetRule(CharacterSet(request), request.repeats);
    plan.rule.repeats = request.repeats;
    if (request.everyKind) {
        plan.rule.RequireEachKind(1);
    }
    for (std::size_t kind = 0; kind < request.atLeast.size(); ++kind) {
        plan.rule.atLeast[kind] = std::max(plan.rule.atLeast[kind], request.atLeast[kind]);
    }
    // A password handed to another program as an argument must not read as
    // one of its options.
    plan.rule.notFirst['-'] = true;
    plan.length = request.options.length;
    return plan;
}

std::string PlanRun(const CliRequest& request, RunPlan& plan)
{
    // Any option of passphrases asks for them, so --min-bits alone can choose
    // the words of the built-in list with --separator or --capitalize.
    const char* passphraseOption = request.words > 0               ? "--words"
                                   : !request.wordListPath.empty() ? "--word-list"
                                   : request.separatorGiven        ? "--separator"
                                   : request.capitalize            ? "--capitalize"
                                                                   : nullptr;
    const bool passphrases = passphraseOption != nullptr;
    if (request.minBits > 0 && (request.lengthGiven || request.words > 0)) {
        return "option " + Quoted("--min-bits") + " cannot go with " +
               Quoted(request.lengthGiven ? "--length" : "--words") +
               ": allowed is one of them, as it chooses the length";
    }
    if (passphrases && request.words == 0 && request.minBits == 0) {
        return "option " + Quoted(passphraseOption) + " needs " + Quoted("--words") + " or " +
               Quoted("--min-bits") + ": allowed is either, to say how many words";
    }
    plan = CharacterPlan(request);
    if (passphrases) {
        return PlanPassphrases(request, plan);
    }
    if (const std::string problem = RefusedRule(request, plan.rule); !problem.empty()) {
        return problem;
    }
    return PlanLength(request, plan);
}
