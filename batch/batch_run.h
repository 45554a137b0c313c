#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "batch/exclusion_dictionary.h"
#include "batch/progress_sink.h"
#include "engine/composer.h"

// What a batch needs of the dialog. Each call reads or changes the dialog's
// windows and has completed when it returns.
class BatchHost {
public:
    // Whether the run may go on; false once a stop was asked for.
    virtual bool IsRunning() = 0;
    // Whether the dialog is closing; its controls are then left alone.
    virtual bool IsClosing() = 0;
    virtual void EnableOptionControls(bool enable) = 0;
    virtual void UpdateCaseControls() = 0;
    // The options as the controls show them, count as typed.
    virtual PasswordOptions ReadOptions() = 0;
    virtual void ClearList() = 0;
    virtual void SetStatus(std::string_view text) = 0;
    virtual void SetProgress(int percentage) = 0;
    // Files the row in the list and selects it.
    virtual void AddRow(const PasswordRow& row) = 0;
    // Shows the newest password, its spelling and the batch's entropy range.
    virtual void ShowPassword(const PasswordRow& row, int maxBits, int minBits) = 0;

protected:
    ~BatchHost() = default;
};

// Where a batch's characters come from. Secure is the program's; Seeded
// reproduces the runtime library's generator seeded from machine and moment.
enum class BatchRandom { Secure, Seeded };

// One batch of passwords after another. The dictionary is read by the first
// run only, however that run ends.
class GenerationBatch {
public:
    explicit GenerationBatch(std::string dictionaryPath,
                             BatchRandom randomKind = BatchRandom::Secure);

    // Runs one batch on the calling thread.
    void Run(BatchHost& host, ProgressSink& sink);

    bool DictionaryLoaded() const { return dictionaryLoaded; }
    const ExclusionDictionary& Dictionary() const { return dictionary; }

    // The pause after each password, which lets the user watch the batch grow.
    static constexpr std::chrono::milliseconds kPause{10};

private:
    void MakePasswords(BatchHost& host);
    void MakePasswordsFrom(DrawSource& random, BatchHost& host);

    std::string dictionaryPath;
    BatchRandom randomKind;
    bool dictionaryLoaded = false;
    // The load lost words; the next batch's status says so.
    bool dictionaryDamaged = false;
    ExclusionDictionary dictionary;
};

// The dictionary's place: "dictionary.txt" in the folder of the executable
// whose full path is given (cut at its last backslash).
std::string DictionaryPathBeside(std::string executablePath);
