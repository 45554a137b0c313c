#include "app/stored_options.h"

#include <algorithm>

#include "app/settings_store.h"

namespace {

// One stored number and the option it holds. Loading and saving both walk
// this table, so a name, its member and its default can never disagree.
struct StoredOption {
    const char* name;
    int (*get)(const PasswordOptions& options);
    void (*set)(PasswordOptions& options, int stored);
};

// A stored choice outside the known numbers means the last one, which is
// also the default.
template <typename Choice>
Choice ChoiceFor(int stored, Choice last)
{
    return (stored >= 0 && stored < static_cast<int>(last)) ? static_cast<Choice>(stored) : last;
}

constexpr StoredOption kStoredOptions[] = {
    {"PasswordLen", [](const PasswordOptions& o) { return o.length; },
     [](PasswordOptions& o, int stored) {
         o.length = std::clamp(stored, PasswordOptions::kMinLength, PasswordOptions::kMaxLength);
     }},
    {"Count", [](const PasswordOptions& o) { return o.count; },
     [](PasswordOptions& o, int stored) {
         o.count = std::clamp(stored, PasswordOptions::kMinCount, PasswordOptions::kMaxCount);
     }},
    // Any number but 0 checks a box: a box showing a state the batch would
    // read differently must not happen.
    {"ExcludeSimilar", [](const PasswordOptions& o) { return o.excludeSimilar ? 1 : 0; },
     [](PasswordOptions& o, int stored) { o.excludeSimilar = stored != 0; }},
    {"ExcludeDuplicate", [](const PasswordOptions& o) { return o.excludeDuplicate ? 1 : 0; },
     [](PasswordOptions& o, int stored) { o.excludeDuplicate = stored != 0; }},
    {"Type", [](const PasswordOptions& o) { return static_cast<int>(o.characterType); },
     [](PasswordOptions& o, int stored) {
         o.characterType = ChoiceFor(stored, CharacterType::LettersAndNumbers);
     }},
    {"Case", [](const PasswordOptions& o) { return static_cast<int>(o.letterCase); },
     [](PasswordOptions& o, int stored) { o.letterCase = ChoiceFor(stored, LetterCase::MixCase); }},
};

} // namespace

PasswordOptions LoadStoredOptions()
{
    PasswordOptions options;
    for (const StoredOption& option : kStoredOptions) {
        if (const auto stored = SettingsStore::ReadValue(option.name)) {
            option.set(options, *stored);
        }
    }
    return options;
}

void StoreOptions(const PasswordOptions& options)
{
    for (const StoredOption& option : kStoredOptions) {
        SettingsStore::WriteValue(option.name, option.get(options));
    }
}
