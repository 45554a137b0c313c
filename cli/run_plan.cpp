#include "cli/run_plan.h"

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

// Cut, not rounded, to a tenth: a figure the options reach at most must not
// read as more than they reach.
std::string Bits(double bits)
{
    char text[32];
    const double tenths = std::floor(bits * 10) / 10;
    const auto end =
        std::to_chars(text, text + sizeof text, tenths, std::chars_format::fixed, 1).ptr;
    return std::string(text, end);
}

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
               Quoted("--min-bits") + ": these words reach at most " + Bits(rule.Bits()) +
               " bits at " + std::to_string(CliRequest::kMaxWords) + " words";
    }
    return {};
}

// The shortest length at which every password carries minBits; a length at
// which the rule gives no password at all reaches nothing, however infinite
// the least information of its none is.
std::string PlanMinBits(const CliRequest& request, int shortest, RunPlan& plan)
{
    const std::vector<double> least =
        LeastInformation(plan.rule, static_cast<std::size_t>(PasswordOptions::kMaxLength));
    double most = 0;
    int mostAt = 0;
    for (int length = shortest; length <= PasswordOptions::kMaxLength; ++length) {
        const double bits = least[static_cast<std::size_t>(length)];
        if (!std::isfinite(bits)) {
            continue;
        }
        if (bits >= request.minBits) {
            plan.length = length;
            return {};
        }
        if (bits >= most) {
            most = bits;
            mostAt = length;
        }
    }
    if (mostAt == 0) {
        // No length gives a password: the run says so, as without --min-bits.
        plan.length = shortest;
        return {};
    }
    return "invalid number of bits " + Quoted(request.minBitsText) + " for " +
           Quoted("--min-bits") + ": these options reach at most " + Bits(most) + " bits at " +
           std::to_string(mostAt) + " characters";
}

std::string PlanLength(const CliRequest& request, RunPlan& plan)
{
    const int kinds = std::popcount(plan.rule.RequiredKinds());
    if (request.minBits > 0) {
        return PlanMinBits(request, std::max(PasswordOptions::kMinLength, kinds), plan);
    }
    if (plan.length < kinds) {
        return "length " + std::to_string(plan.length) + " too short for " +
               Quoted("--every-kind") + ": allowed are " + std::to_string(kinds) +
               " or more, one character of each of the " + std::to_string(kinds) + " kinds";
    }
    return {};
}

} // namespace

RunPlan CharacterPlan(const CliRequest& request)
{
    // The one place the command line chooses its rule: the dialog's draw
    // unless a set of characters was given.
    RunPlan plan;
    plan.rule = request.CharacterSetsGiven()
                    ? CharacterSetRule(CharacterSet(request), request.options.excludeDuplicate)
                    : DialogRule(request.options);
    plan.rule.everyKind = request.everyKind;
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
    if (plan.rule.alphabet.Total() == 0) {
        return "no character left for the passwords: " + Quoted("--exclude=" + request.exclude) +
               " takes out every one the other options give";
    }
    return PlanLength(request, plan);
}
