#include "batch/batch_run.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

#include "batch/excluded_passwords.h"
#include "engine/password_set.h"
#include "engine/password_space.h"
#include "engine/secure_random.h"
#include "engine/seed.h"
#include "platform/system_random.h"
#include "platform/system_seed_material.h"

namespace {

// The batch's passwords, kept on the worker so the uniqueness test never has
// to ask the dialog's thread: only the batch changes the list while it runs.
class BatchPasswords final : public PasswordList {
public:
    explicit BatchPasswords(BatchHost& batchHost) : host(batchHost) {}

    bool Contains(std::string_view password) const override { return passwords.Contains(password); }

    void Add(const PasswordRow& row) override
    {
        passwords.Insert(row.password);
        host.AddRow(row);
    }

private:
    BatchHost& host;
    PasswordSet passwords;
};

// How many passwords of the options' length the word list leaves; a length
// past the longest the dialog offers (another program can write any text in
// its box) makes a space no list comes near, and is not walked.
std::uint64_t PasswordsAllowed(const PasswordOptions& options,
                               const ExclusionDictionary& dictionary)
{
    if (options.length > PasswordOptions::kMaxLength) {
        return UINT64_MAX;
    }
    const PasswordSpace space(DialogRule(options),
                              options.length > 0 ? static_cast<std::size_t>(options.length) : 0);
    return PasswordsLeft(dictionary, space).Saturated();
}

int Percentage(int done, int count)
{
    return static_cast<int>(static_cast<std::int64_t>(done) * 100 / count);
}

} // namespace

GenerationBatch::GenerationBatch(std::string path, BatchRandom kind)
    : dictionaryPath(std::move(path)), randomKind(kind)
{
}

void GenerationBatch::Run(BatchHost& host, ProgressSink& sink)
{
    host.EnableOptionControls(false);
    if (!dictionaryLoaded) {
        // Without a path of its own the program runs without a word list.
        if (!dictionaryPath.empty()) {
            dictionary.LoadDictionary(dictionaryPath, &sink);
            dictionaryDamaged = !dictionary.LoadedWhole();
        }
        dictionaryLoaded = true;
    }
    if (host.IsRunning()) {
        MakePasswords(host);
    }
    // Only a closing dialog stops a run, and then its controls no longer
    // matter; every other end gives the user the controls back, also when the
    // run could not even begin.
    if (!host.IsClosing()) {
        host.EnableOptionControls(true);
        host.UpdateCaseControls();
    }
}

void GenerationBatch::MakePasswords(BatchHost& host)
{
    if (randomKind == BatchRandom::Seeded) {
        SeedRandomSource(SystemSeedMaterial());
        MakePasswordsFrom(ThreadRandomSource(), host);
        return;
    }
    // The secure source needs no seed. Its first bytes are fetched by the
    // first draw, so a failing generator ends the batch with its status.
    SecureRandomSource random(SystemRandomBytes);
    MakePasswordsFrom(random, host);
}

void GenerationBatch::MakePasswordsFrom(DrawSource& random, BatchHost& host)
{
    host.ClearList();
    host.SetStatus("Generating passwords...");
    const PasswordOptions options = host.ReadOptions();
    const int count = options.count;
    // The passwords the options allow that the word list leaves, counted
    // exactly, so the batch stops only when none is left, however rarely the
    // last ones come. The list was cleared: its only passwords are the batch's.
    const std::uint64_t left = PasswordsAllowed(options, dictionary);
    int maxBits = 0;
    int minBits = 1024;
    int made = 0;
    std::string_view ending = ".";
    BatchPasswords passwords(host);
    for (; made < count; ++made) {
        if (!host.IsRunning()) {
            break;
        }
        host.SetProgress(Percentage(made, count));
        std::optional<PasswordRow> row;
        try {
            if (static_cast<std::uint64_t>(made) < left) {
                row = GeneratePassword(random, options, dictionary, passwords);
            }
        } catch (const RandomUnavailable&) {
            ending = "; the system's random generator failed.";
            break;
        }
        if (!row) {
            ending = "; no other password fits these options.";
            break;
        }
        maxBits = std::max(maxBits, row->entropyBits);
        minBits = std::min(minBits, row->entropyBits);
        host.ShowPassword(*row, maxBits, minBits);
        std::this_thread::sleep_for(kPause);
    }
    host.SetProgress(100);
    // A batch cut short says how many it made; a whole one, how many were
    // asked for (also when that is none or a negative number as typed).
    const bool whole = ending == ".";
    std::string status = std::to_string(whole ? count : made) + " password(s) created";
    if (dictionaryDamaged) {
        // Said once, by the batch that follows the load.
        dictionaryDamaged = false;
        status += "; the word list could not be read whole";
    }
    status += ending;
    host.SetStatus(status);
}

std::string DictionaryPathBeside(std::string executablePath)
{
    const std::size_t slash = executablePath.rfind('\\');
    if (slash != std::string::npos) {
        executablePath.resize(slash);
    }
    return executablePath + "\\dictionary.txt";
}
