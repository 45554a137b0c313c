// Moving the options between the dialog's controls and the settings store.
#include <algorithm>
#include <cstdio>

#include "app/main_dialog.h"
#include "app/settings_store.h"
#include "res/resource.h"

namespace {

constexpr int kTypeRadios[] = {IDC_ONLY_NUMBERS, IDC_HEX_DIGITS, IDC_ONLY_LETTERS,
                               IDC_LETTERS_AND_NUMBERS};
constexpr int kCaseRadios[] = {IDC_LOWER_CASE, IDC_UPPER_CASE, IDC_MIX_CASE};

// A stored choice outside the known numbers picks the last radio, which is
// also the default.
int RadioFor(int stored, const int* radios, int count)
{
    return radios[(stored >= 0 && stored < count) ? stored : count - 1];
}

} // namespace

void MainDialog::LoadSettings()
{
    // Values written by hand or by another version may lie outside what the
    // arrows allow; every value that reaches a batch is one the user could set.
    const int length = std::clamp(SettingsStore::ReadValue("PasswordLen", 10),
                                  PasswordOptions::kMinLength, PasswordOptions::kMaxLength);
    const int count = std::clamp(SettingsStore::ReadValue("Count", 10), PasswordOptions::kMinCount,
                                 PasswordOptions::kMaxCount);
    char text[16];
    std::snprintf(text, sizeof text, "%d", length);
    SetText(IDC_LENGTH, text);
    std::snprintf(text, sizeof text, "%d", count);
    SetText(IDC_COUNT, text);

    // Any number but 0 checks a box: a box showing a state the batch would
    // read differently must not happen.
    const auto checkState = [](int stored) { return stored != 0 ? BST_CHECKED : BST_UNCHECKED; };
    SendDlgItemMessageA(Handle(), IDC_EXCLUDE_SIMILAR, BM_SETCHECK,
                        checkState(SettingsStore::ReadValue("ExcludeSimilar", 1)), 0);
    SendDlgItemMessageA(Handle(), IDC_EXCLUDE_DUPLICATE, BM_SETCHECK,
                        checkState(SettingsStore::ReadValue("ExcludeDuplicate", 1)), 0);

    const int type = SettingsStore::ReadValue("Type", 3);
    SendDlgItemMessageA(Handle(), RadioFor(type, kTypeRadios, 4), BM_SETCHECK, BST_CHECKED, 0);
    const int letterCase = SettingsStore::ReadValue("Case", 2);
    SendDlgItemMessageA(Handle(), RadioFor(letterCase, kCaseRadios, 3), BM_SETCHECK, BST_CHECKED,
                        0);
}

void MainDialog::SaveSettings()
{
    const PasswordOptions options = ReadOptions();
    SettingsStore::WriteValue("PasswordLen", options.length);
    SettingsStore::WriteValue(
        "ExcludeSimilar",
        static_cast<int>(SendDlgItemMessageA(Handle(), IDC_EXCLUDE_SIMILAR, BM_GETCHECK, 0, 0)));
    SettingsStore::WriteValue(
        "ExcludeDuplicate",
        static_cast<int>(SendDlgItemMessageA(Handle(), IDC_EXCLUDE_DUPLICATE, BM_GETCHECK, 0, 0)));
    SettingsStore::WriteValue("Type", static_cast<int>(options.characterType));
    SettingsStore::WriteValue("Case", static_cast<int>(options.letterCase));
    SettingsStore::WriteValue("Count", options.count);
}
