// sorvane-cli: the dialog's passwords for scripts and bulk use, on the same
// portable core. It opens no window and reads or writes no registry value.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "cli/password_run.h"
#include "cli/password_writer.h"
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

std::size_t RandomBlockFor(const CliRequest& request)
{
    const std::size_t perPassword =
        4 * static_cast<std::size_t>(std::max(request.options.length, 1));
    return std::clamp(perPassword * static_cast<std::size_t>(request.count), std::size_t{256},
                      kRandomBlock);
}

int Complain(const std::string& message, int status)
{
    std::fprintf(stderr, "sorvane-cli: %s\n", message.c_str());
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
    ExclusionDictionary dictionary;
    if (!request.dictionaryPath.empty()) {
        if (const std::string problem = LoadWordList(request.dictionaryPath, dictionary);
            !problem.empty()) {
            return Complain("cannot read the dictionary '" + request.dictionaryPath +
                                "': " + problem,
                            kBadInput);
        }
    }
    StandardOutput output;
    PasswordWriter writer(request.format, request.options, output);
    SecureRandomSource random(SystemRandomBytes, RandomBlockFor(request));
    const RunResult result = MakePasswords(request, random, dictionary, writer);
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
