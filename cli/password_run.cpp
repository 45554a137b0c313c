#include "cli/password_run.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "batch/excluded_passwords.h"
#include "cli/input_file.h"
#include "cli/passphrase_run.h"
#include "engine/password_draw.h"
#include "engine/password_space.h"
#include "engine/secure_random.h"

namespace {

// Candidates drawn, keyed and prefetched at a time: enough that the slots of
// the first are in the cache by the time the last is keyed.
constexpr std::size_t kBlock = 32;

// A run of the command line: candidates are drawn a block at a time, and a
// candidate that is an excluded word or made already is replaced by fresh
// draws until one is new. Draws are independent, so drawing ahead changes
// nothing in what comes out: each password is distributed as a fresh draw
// given that it is new.
class Run {
public:
    Run(const RunPlan& plan, int runCount, DrawSource& source, const ExclusionDictionary& words,
        PasswordWriter& output, std::uint64_t fittingCount, FingerprintHash hash)
        : draw(plan.rule), count(runCount), random(source), dictionary(words), writer(output),
          hasWords(words.Table() && words.Table()->EntryCount() != 0), fitting(fittingCount),
          length(plan.length > 0 ? static_cast<std::size_t>(plan.length) : 0),
          made(plan.rule.alphabet, length,
               static_cast<std::size_t>(
                   std::min<std::uint64_t>(fittingCount, static_cast<std::uint64_t>(runCount))),
               hash)
    {
    }

    RunResult Go()
    {
        RunResult result;
        while (result.made < count && result.end == RunEnd::Complete) {
            // Nothing is drawn once none is left: a rule whose every
            // password would come to a dead end has none to draw.
            if (static_cast<std::uint64_t>(result.made) >= fitting) {
                result.end = RunEnd::NoMoreFit;
                break;
            }
            const auto wanted =
                std::min<std::size_t>(kBlock, static_cast<std::size_t>(count - result.made));
            try {
                DrawBlock(wanted);
            } catch (const RandomUnavailable&) {
                result.end = RunEnd::RandomFailed;
                break;
            }
            for (std::size_t i = 0; i < wanted && result.end == RunEnd::Complete; ++i) {
                result.end = Keep(result.made, i);
                result.made += result.end == RunEnd::Complete ? 1 : 0;
            }
        }
        return result;
    }

private:
    char* Text(std::size_t i) { return block + i * length; }

    void DrawBlock(std::size_t wanted)
    {
        draw.Draw(random, block, length, wanted);
        for (std::size_t i = 0; i < wanted; ++i) {
            const std::string_view text(Text(i), length);
            keys[i] = made.Key(text);
            made.Prefetch(keys[i]);
            if (hasWords) {
                dictionary.Prefetch(text);
            }
        }
    }

    // Candidate i of the block, or its replacement, becomes password number
    // index of the run when one is known to remain.
    RunEnd Keep(int index, std::size_t i)
    {
        if (static_cast<std::uint64_t>(index) >= fitting) {
            return RunEnd::NoMoreFit;
        }
        std::string_view text(Text(i), length);
        try {
            while ((hasWords && dictionary.Contains(text)) || made.Contains(keys[i])) {
                draw.Draw(random, Text(i), length, 1);
                keys[i] = made.Key(text);
            }
        } catch (const RandomUnavailable&) {
            return RunEnd::RandomFailed;
        }
        made.Insert(keys[i]);
        return writer.Add(text) ? RunEnd::Complete : RunEnd::OutputStopped;
    }

    const PasswordDraw draw;
    const int count;
    DrawSource& random;
    const ExclusionDictionary& dictionary;
    PasswordWriter& writer;
    const bool hasWords; // an empty list is never asked
    const std::uint64_t fitting;
    const std::size_t length;
    RunFingerprints made;
    char block[kBlock * PasswordOptions::kMaxLength];
    std::uint64_t keys[kBlock];
};

} // namespace

RunResult MakePasswords(const CliRequest& request, DrawSource& random,
                        const ExclusionDictionary& dictionary, PasswordWriter& writer,
                        FingerprintHash hash)
{
    return MakePasswords(CharacterPlan(request), request.count, random, dictionary, writer, hash);
}

RunResult MakePasswords(const RunPlan& plan, int count, DrawSource& random,
                        const ExclusionDictionary& dictionary, PasswordWriter& writer,
                        FingerprintHash hash)
{
    return MakePasswords(plan, CountAllowed(plan, dictionary), count, random, dictionary, writer,
                         hash);
}

AllowedPasswords CountAllowed(const RunPlan& plan, const ExclusionDictionary& dictionary)
{
    AllowedPasswords allowed;
    if (plan.passphrases) {
        allowed.all = plan.passphrase.Size();
        allowed.left = allowed.all;
        allowed.left -= PassphrasesExcluded(dictionary, plan.passphrase);
        return allowed;
    }
    const PasswordSpace space(plan.rule,
                              plan.length > 0 ? static_cast<std::size_t>(plan.length) : 0);
    allowed.all = space.Size();
    allowed.left = allowed.all;
    allowed.left -= ExcludedPasswords(dictionary, space);
    return allowed;
}

RunResult MakePasswords(const RunPlan& plan, const AllowedPasswords& allowed, int count,
                        DrawSource& random, const ExclusionDictionary& dictionary,
                        PasswordWriter& writer, FingerprintHash hash)
{
    if (!writer.Begin()) {
        return {0, RunEnd::OutputStopped};
    }
    // At most the largest 64-bit value, far more than any run makes.
    const std::uint64_t fitting = allowed.left.Saturated();
    RunResult result;
    if (plan.passphrases) {
        result = MakePassphrases(plan.passphrase, count, random, dictionary, writer, fitting, hash);
    } else {
        Run run(plan, count, random, dictionary, writer, fitting, hash);
        result = run.Go();
    }
    // A run cut short still closes its document; why it ended stays the
    // reason given, and a failing output tells its own.
    if (result.end != RunEnd::OutputStopped && !writer.End() && result.end == RunEnd::Complete) {
        result.end = RunEnd::OutputStopped;
    }
    return result;
}

std::string LoadWordList(const std::string& path, ExclusionDictionary& dictionary)
{
    UniqueFile file;
    std::uint64_t size = 0;
    if (std::string problem = OpenRegularFile(path, file, size); !problem.empty()) {
        return problem;
    }
    // Blocks go straight into the reader's buffer, as the dialog reads it.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    errno = 0;
    dictionary.LoadFromStream(file.get(), nullptr);
    const int error = errno;
    if (dictionary.LoadedWhole()) {
        return {};
    }
    return std::ferror(file.get()) ? std::strerror(error) : "it does not fit in memory";
}
