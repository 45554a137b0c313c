// Moving the options between the dialog's controls and the settings store.
#include <shlwapi.h>

#include <cstdio>

#include "app/dialog_controls.h"
#include "app/main_dialog.h"
#include "app/stored_options.h"

void MainDialog::LoadSettings()
{
    ShowOptions(LoadStoredOptions());
}

void MainDialog::SaveSettings()
{
    StoreOptions(ReadOptions());
}

void MainDialog::ShowOptions(const PasswordOptions& options)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", options.length);
    SetText(IDC_LENGTH, text);
    std::snprintf(text, sizeof text, "%d", options.count);
    SetText(IDC_COUNT, text);
    const auto checkState = [](bool checked) { return checked ? BST_CHECKED : BST_UNCHECKED; };
    SendDlgItemMessageA(Handle(), IDC_EXCLUDE_SIMILAR, BM_SETCHECK,
                        checkState(options.excludeSimilar), 0);
    SendDlgItemMessageA(Handle(), IDC_EXCLUDE_DUPLICATE, BM_SETCHECK,
                        checkState(options.excludeDuplicate), 0);
    // Only the chosen radio is checked; the template leaves the others clear.
    SendDlgItemMessageA(Handle(), kTypeRadios[static_cast<int>(options.characterType)], BM_SETCHECK,
                        BST_CHECKED, 0);
    SendDlgItemMessageA(Handle(), kCaseRadios[static_cast<int>(options.letterCase)], BM_SETCHECK,
                        BST_CHECKED, 0);
}

PasswordOptions MainDialog::ReadOptions() const
{
    PasswordOptions options;
    options.length = ReadNumber(IDC_LENGTH);
    options.count = ReadNumber(IDC_COUNT);
    options.excludeSimilar = IsChecked(IDC_EXCLUDE_SIMILAR);
    options.excludeDuplicate = IsChecked(IDC_EXCLUDE_DUPLICATE);
    // The first checked radio wins; the last of each group is never asked.
    options.characterType = CharacterType::LettersAndNumbers;
    for (int type = 0; type < 3; ++type) {
        if (IsChecked(kTypeRadios[type])) {
            options.characterType = static_cast<CharacterType>(type);
            break;
        }
    }
    options.letterCase = LetterCase::MixCase;
    for (int letterCase = 0; letterCase < 2; ++letterCase) {
        if (IsChecked(kCaseRadios[letterCase])) {
            options.letterCase = static_cast<LetterCase>(letterCase);
            break;
        }
    }
    return options;
}

bool MainDialog::IsChecked(int id) const
{
    return SendDlgItemMessageA(Handle(), id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int MainDialog::ReadNumber(int id) const
{
    char text[64] = {};
    GetDlgItemTextA(Handle(), id, text, sizeof text);
    return StrToIntA(text);
}
