// sorvane-cli: the dialog's passwords for scripts and bulk use, on the same
// portable core. It opens no window and reads or writes no registry value.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "cli/password_run.h"
#include "cli/password_writer.h"
#include "cli/run_plan.h"
#include "cli/run_summary.h"
#include "cli/standard_output.h"
#include "engine/secure_random.h"
#include "platform/system_random.h"

namespace {

constexpr int kDone = 0;
constexpr int kCutShort = 1;
constexpr int kBadInput = 2;

// Bytes asked of the system's generator at a time: a large run takes a few
// hundred requests, and a short one asks for about what it needs (some 24
// bytes a password of 16), not a whole block.
constexpr std::size_t kRandomBlock = std::size_t{1} << 16;

std::size_t RandomBlockFor(const RunPlan& plan, int count)
{
    const int units =
        plan.passphrases ? 8 * static_cast<int>(plan.passphrase.count) : std::max(plan.length, 1);
    const std::size_t perPassword = 4 * static_cast<std::size_t>(units);
    return std::clamp(perPassword * static_cast<std::size_t>(count), std::size_t{256},
                      kRandomBlock);
}

// The information figure of the tab-separated and JSON output: the rule's.
PasswordWriter::Information InformationOf(const RunPlan& plan, OutputFormat format)
{
    if (format == OutputFormat::Plain) {
        return {};
    }
    if (plan.passphrases) {
        return [bits = plan.passphrase.Bits()](std::string_view) { return bits; };
    }
    auto content = std::make_shared<const InformationContent>(plan.rule);
    return [content](std::string_view password) { return content->Bits(password); };
}

// A passphrase's object also tells how many distinct words it was drawn from.
std::string MoreJsonOf(const RunPlan& plan)
{
    return plan.passphrases ? ", \"list_words\": " + std::to_string(plan.passphrase.words.size())
                            : std::string();
}

// One line on standard error, apart from the passwords on the output.
void Tell(const std::string& line)
{
    std::fprintf(stderr, "sorvane-cli: %s\n", line.c_str());
}

int Complain(const std::string& message, int status)
{
    Tell(message);
    return status;
}

// The user hears of a failing output; a reader that left is no failure.
int OutputStatus(const StandardOutput& output, int status)
{
    if (output.Current() == StandardOutput::State::Failed) {
        return Complain("the output could not be written: " + output.Reason(), kCutShort);
    }
    return status;
}

int Generate(const CliRequest& request)
{
    RunPlan plan;
    if (const std::string problem = PlanRun(request, plan); !problem.empty()) {
        return Complain(problem, kBadInput);
    }
    ExclusionDictionary dictionary;
    if (!request.dictionaryPath.empty()) {
        if (const std::string problem = LoadWordList(request.dictionaryPath, dictionary);
            !problem.empty()) {
            return Complain("cannot read the dictionary " + Quoted(request.dictionaryPath) + ": " +
                                problem,
                            kBadInput);
        }
    }
    const AllowedPasswords allowed = CountAllowed(plan, dictionary);
    if (request.verbose) {
        Tell(RunSummary(plan, allowed, !request.dictionaryPath.empty()));
    }
    StandardOutput output;
    PasswordWriter writer(request.format, InformationOf(plan, request.format), MoreJsonOf(plan),
                          output);
    SecureRandomSource random(SystemRandomBytes, RandomBlockFor(plan, request.count));
    const RunResult result =
        MakePasswords(plan, allowed, request.count, random, dictionary, writer);
    const std::string made = "made " + std::to_string(result.made) + " of " +
                             std::to_string(request.count) + " passwords: ";
    switch (result.end) {
    case RunEnd::NoMoreFit:
        OutputStatus(output, kCutShort);
        return Complain(made + "no other password fits these options" +
                            (request.dictionaryPath.empty() ? "" : " and the dictionary"),
                        kCutShort);
    case RunEnd::RandomFailed:
        OutputStatus(output, kCutShort);
        return Complain(made + "the system's random generator failed", kCutShort);
    case RunEnd::Complete:
    case RunEnd::OutputStopped:
        break;
    }
    return OutputStatus(output, kDone);
}

int Run(std::span<const std::string_view> arguments)
{
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    switch (parsed.action) {
    case CliAction::Refuse:
        return Complain(parsed.error, kBadInput);
    case CliAction::ShowHelp:
    case CliAction::ShowVersion: {
        std::string text;
        for (const char c : parsed.action == CliAction::ShowHelp ? HelpText() : VersionText()) {
            text += c == '\n' ? kLineEnd : std::string_view(&c, 1);
        }
        StandardOutput output;
        output.Write(text);
        return OutputStatus(output, kDone);
    }
    case CliAction::Generate:
        break;
    }
    return Generate(parsed.request);
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
        return Run(arguments);
    } catch (const std::bad_alloc&) {
        return Complain("not enough memory for this count", kCutShort);
    } catch (const std::exception& error) {
        return Complain(error.what(), kCutShort);
    }
}
