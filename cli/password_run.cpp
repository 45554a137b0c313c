#include "cli/password_run.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "batch/excluded_passwords.h"
#include "engine/password_set.h"
#include "engine/password_space.h"
#include "engine/secure_random.h"

namespace {

// The passwords of the run, for the uniqueness test.
class RunPasswords final : public PasswordList {
public:
    bool Contains(std::string_view password) const override { return passwords.Contains(password); }
    void Add(const PasswordRow& row) override { passwords.Insert(row.password); }
    void Keep(std::string_view password) { passwords.Insert(password); }

private:
    PasswordSet passwords;
};

// How many different passwords the options allow that are no excluded word;
// at most the largest 64-bit value, far more than any run makes.
std::uint64_t PasswordsThatFit(const PasswordOptions& options,
                               const ExclusionDictionary& dictionary)
{
    const PasswordSpace space(options);
    PasswordCount fitting = space.Size();
    fitting -= ExcludedPasswords(dictionary, space);
    return fitting.Saturated();
}

// One more password to the writer, when at least one is known to remain;
// RunEnd::Complete while the run goes on.
RunEnd MakeOne(const PasswordOptions& options, DrawSource& random, const ExcludedWords& dictionary,
               RunPasswords& passwords, RowText<PasswordOptions::kMaxLength>& text,
               PasswordWriter& writer)
{
    DrawRemainingPassword(random, options, dictionary, passwords, text);
    passwords.Keep(text);
    const bool written =
        writer.NeedsRow() ? writer.Add(MakePasswordRow(text)) : writer.Add(std::string_view(text));
    return written ? RunEnd::Complete : RunEnd::OutputStopped;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

RunResult MakePasswords(const CliRequest& request, DrawSource& random,
                        const ExclusionDictionary& dictionary, PasswordWriter& writer)
{
    RunResult result;
    if (!writer.Begin()) {
        result.end = RunEnd::OutputStopped;
        return result;
    }
    const std::uint64_t fitting = PasswordsThatFit(request.options, dictionary);
    RunPasswords passwords;
    RowText<PasswordOptions::kMaxLength> text;
    while (result.made < request.count) {
        if (static_cast<std::uint64_t>(result.made) >= fitting) {
            result.end = RunEnd::NoMoreFit;
            break;
        }
        try {
            result.end = MakeOne(request.options, random, dictionary, passwords, text, writer);
        } catch (const RandomUnavailable&) {
            result.end = RunEnd::RandomFailed;
        }
        if (result.end != RunEnd::Complete) {
            break;
        }
        ++result.made;
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
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return std::strerror(errno);
    }
    // Blocks go straight into the reader's buffer, as the dialog reads it.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    dictionary.LoadFromStream(file.get(), nullptr);
    const int error = errno;
    if (dictionary.LoadedWhole()) {
        return {};
    }
    return std::ferror(file.get()) ? std::strerror(error) : "it does not fit in memory";
}
