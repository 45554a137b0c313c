#include "cli/run_plan.h"

#include <bit>
#include <charconv>
#include <vector>

#include "engine/rule_walk.h"

namespace {

// The characters of the options' type and case, look-alikes out when they
// are excluded, then the symbols and the included ones, less the excluded.
std::string CharacterSet(const CliRequest& request)
{
    const Alphabet dialog = DialogAlphabet(request.options);
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

std::string Bits(double bits)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, bits, std::chars_format::fixed, 1).ptr;
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
        return "option " + Quoted(option) + " applies to characters, not to the words of " +
               Quoted("--word-list");
    }
    if (request.separator.empty() && !request.capitalize) {
        return "empty " + Quoted("--separator") + " without " + Quoted("--capitalize") +
               ": allowed is an empty separator only where capitals mark the words";
    }
    PassphraseRule& rule = plan.passphrase;
    rule.separator = request.separator;
    if (const std::string problem = LoadPassphraseWords(request.wordListPath, request.separator,
                                                        request.capitalize, rule.words);
        !problem.empty()) {
        return "cannot read the word list " + Quoted(request.wordListPath) + ": " + problem;
    }
    if (rule.words.size() < 2 || rule.words.size() > (std::size_t{1} << 31)) {
        return "word list " + Quoted(request.wordListPath) + " for " + Quoted("--word-list") +
               " has " + std::to_string(rule.words.size()) +
               " distinct words that keep a passphrase readable: allowed are 2 or more";
    }
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

std::string PlanLength(const CliRequest& request, RunPlan& plan)
{
    const int kinds = std::popcount(plan.rule.RequiredKinds());
    if (request.minBits > 0) {
        const std::vector<double> least =
            LeastInformation(plan.rule, static_cast<std::size_t>(PasswordOptions::kMaxLength));
        for (int length = std::max(PasswordOptions::kMinLength, kinds);
             length <= PasswordOptions::kMaxLength; ++length) {
            if (least[static_cast<std::size_t>(length)] >= request.minBits) {
                plan.options.length = length;
                return {};
            }
        }
        return "invalid number of bits " + Quoted(request.minBitsText) + " for " +
               Quoted("--min-bits") + ": these options reach at most " + Bits(least.back()) +
               " bits at " + std::to_string(PasswordOptions::kMaxLength) + " characters";
    }
    if (plan.options.length < kinds) {
        return "length " + std::to_string(plan.options.length) + " too short for " +
               Quoted("--every-kind") + ": allowed are " + std::to_string(kinds) +
               " or more, one character of each of the " + std::to_string(kinds) + " kinds";
    }
    return {};
}

} // namespace

RunPlan CharacterPlan(const CliRequest& request)
{
    RunPlan plan;
    plan.options = request.options;
    plan.dialogDraw = !request.CharacterSetsGiven();
    plan.rule.alphabet =
        plan.dialogDraw ? DialogAlphabet(request.options) : UniformAlphabet(CharacterSet(request));
    plan.rule.excludeDuplicate = request.options.excludeDuplicate;
    plan.rule.everyKind = request.everyKind;
    return plan;
}

std::string PlanRun(const CliRequest& request, RunPlan& plan)
{
    const bool passphrases = !request.wordListPath.empty();
    if (request.minBits > 0 && (request.lengthGiven || request.words > 0)) {
        return "option " + Quoted("--min-bits") + " cannot go with " +
               Quoted(request.lengthGiven ? "--length" : "--words") +
               ": allowed is one of them, as it chooses the length";
    }
    if (request.words > 0 && !passphrases) {
        return "option " + Quoted("--words") + " needs " + Quoted("--word-list") +
               ": allowed is a word list of yours, none is built in";
    }
    if (passphrases && request.words == 0 && request.minBits == 0) {
        return "option " + Quoted("--word-list") + " needs " + Quoted("--words") + " or " +
               Quoted("--min-bits") + ": allowed is either, to say how many words";
    }
    if (!passphrases && (request.separatorGiven || request.capitalize)) {
        return "option " + Quoted(request.capitalize ? "--capitalize" : "--separator") +
               " applies to passphrases: allowed with " + Quoted("--word-list");
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
