// The commands that act on what a batch made: copy the password on show, save
// the whole list to a text file, delete the selected rows. All run on the
// dialog's thread while no batch runs, since a batch switches their controls
// off.
#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/file_replacement.h"
#include "app/main_dialog.h"
#include "app/password_columns.h"
#include "batch/saved_list.h"
#include "res/resource.h"
#include "toolkit/module.h"

namespace {

constexpr char kCaption[] = "Sorvane";

std::string ControlText(HWND dialog, int id)
{
    const HWND control = GetDlgItem(dialog, id);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

// What the system says about an error, on one line.
std::string SystemReason(DWORD error)
{
    char buffer[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, buffer, sizeof buffer, nullptr);
    std::string reason(buffer, length);
    while (!reason.empty() && std::strchr("\r\n .", reason.back()) != nullptr) {
        reason.pop_back();
    }
    return reason.empty() ? "System error " + std::to_string(error) + "." : reason + ".";
}

DWORD LastErrorOr(DWORD fallback)
{
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : fallback;
}

// ---- Copy ----------------------------------------------------------------

// Another program often holds the clipboard for a moment (a clipboard viewer
// reads every change), so the dialog asks again for about a tenth of a second.
bool OpenClipboardPatiently(HWND owner)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(owner)) {
            return true;
        }
        Sleep(10);
    }
    return OpenClipboard(owner) != FALSE;
}

// Puts a copy of the bytes on the open clipboard, which then owns the block.
// Answers the error, or ERROR_SUCCESS.
DWORD PlaceOnClipboard(UINT format, const void* data, std::size_t size)
{
    if (format == 0) {
        return LastErrorOr(ERROR_INVALID_PARAMETER);
    }
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size));
    if (!block) {
        return LastErrorOr(ERROR_NOT_ENOUGH_MEMORY);
    }
    if (size > 0) {
        void* target = GlobalLock(block.get());
        if (target == nullptr) {
            return LastErrorOr(ERROR_NOT_ENOUGH_MEMORY);
        }
        std::memcpy(target, data, size);
        GlobalUnlock(block.get());
    }
    if (SetClipboardData(format, block.get()) == nullptr) {
        return LastErrorOr(ERROR_CLIPBOARD_NOT_OPEN);
    }
    block.release();
    return ERROR_SUCCESS;
}

// The monitor mark counts by its presence alone and is meant to be empty; a
// system that refuses an empty block gets a single zero byte instead.
DWORD PlaceEmptyMark(UINT format)
{
    if (PlaceOnClipboard(format, nullptr, 0) == ERROR_SUCCESS) {
        return ERROR_SUCCESS;
    }
    const char zero = 0;
    return PlaceOnClipboard(format, &zero, 1);
}

// The password as plain text, marked so that clipboard history, cloud
// clipboards and clipboard monitors leave it alone. All or nothing: a password
// that could not be marked is not left on the clipboard.
DWORD FillClipboard(const std::string& password)
{
    if (!EmptyClipboard()) {
        return LastErrorOr(ERROR_CLIPBOARD_NOT_OPEN);
    }
    const DWORD no = 0;
    DWORD error = PlaceOnClipboard(CF_TEXT, password.c_str(), password.size() + 1);
    if (error == ERROR_SUCCESS) {
        error = PlaceEmptyMark(
            RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing"));
    }
    for (const char* mark : {"CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"}) {
        if (error == ERROR_SUCCESS) {
            error = PlaceOnClipboard(RegisterClipboardFormatA(mark), &no, sizeof no);
        }
    }
    if (error != ERROR_SUCCESS) {
        EmptyClipboard();
    }
    return error;
}

// ---- Save ----------------------------------------------------------------

// The save dialog's filter: pairs of name and pattern, separated by '%' in
// the string resource, each ended by a zero in the list the dialog takes.
std::string SaveFilter()
{
    char buffer[256] = {};
    const int length =
        LoadStringA(programModule.Instance(), IDS_SAVE_FILTER, buffer, sizeof buffer);
    if (length <= 0) {
        return {};
    }
    std::string filter(buffer, static_cast<std::size_t>(length));
    std::replace(filter.begin(), filter.end(), '%', '\0');
    filter.push_back('\0'); // the list's end, even when the text lacks its last '%'
    return filter;
}

// The saved-list text of the rows in the order shown. The shared formatter
// writes the CR LF itself, so the command line's output and this file are the
// same bytes.
std::string SavedListText(const ListModel& list)
{
    std::string text(kSavedListHead);
    const int count = list.GetItemCount();
    for (int row = 0; row < count; ++row) {
        AppendSavedListLine(text, list.GetItemText(row, kPasswordColumn),
                            list.GetItemText(row, kEntropyColumn),
                            list.GetItemText(row, kPhoneticsColumn));
    }
    return text;
}

// The folder part of a path as the user typed it, for the message; the walk
// goes by characters, since a double-byte character may end in '\'.
std::string FolderShown(const std::string& path)
{
    std::size_t end = 0;
    for (const char* p = path.c_str(); *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/' || *p == ':') {
            end = static_cast<std::size_t>(p - path.c_str()) + 1;
        }
    }
    return end == 0 ? std::string(".") : path.substr(0, end);
}

// Empty when the list was saved; otherwise what went wrong, for the user.
std::string SaveListFile(const std::string& target, const ListModel& list)
{
    const auto failure = ReplaceFileContents(WidenAnsi(target), SavedListText(list));
    if (!failure) {
        return {};
    }
    const std::string reason = SystemReason(failure->error);
    switch (failure->step) {
    case ReplaceFailure::Step::MakeTemporary:
        return "No new file could be made in the folder " + FolderShown(target) + ":\n" + reason;
    case ReplaceFailure::Step::Write:
        return "The list could not be written:\n" + reason;
    case ReplaceFailure::Step::Replace:
        break;
    }
    return "The file " + target + " could not be replaced:\n" + reason;
}

std::string DialogFailure(DWORD code)
{
    if (code == FNERR_BUFFERTOOSMALL) {
        return "The file name is too long.";
    }
    char text[64];
    std::snprintf(text, sizeof text, "The save dialog failed (code 0x%04lX).",
                  static_cast<unsigned long>(code));
    return text;
}

} // namespace

void MainDialog::BindLinks()
{
    const struct {
        HyperLinkLabel* label;
        int id;
    } kLinks[] = {
        {&webLink, IDC_WEB_LINK}, {&deleteLink, IDC_DELETE_LINK}, {&saveLink, IDC_SAVE_LINK}};
    for (const auto& link : kLinks) {
        if (link.label->Subclass(GetDlgItem(Handle(), link.id))) {
            link.label->Attach();
        }
    }
    deleteLink.style = CommandMode;
    saveLink.style = CommandMode;
}

void MainDialog::CopyPassword()
{
    const std::string password = ControlText(Handle(), IDC_CURRENT_PASSWORD);
    if (!OpenClipboardPatiently(Handle())) {
        MessageBoxA(Handle(),
                    "The password was not copied: another program is using the clipboard.\n\n"
                    "Try again in a moment.",
                    kCaption, MB_OK | MB_ICONWARNING);
        return;
    }
    const DWORD error = FillClipboard(password);
    CloseClipboard();
    if (error != ERROR_SUCCESS) {
        const std::string message =
            "The password was not copied to the clipboard:\n" + SystemReason(error);
        MessageBoxA(Handle(), message.c_str(), kCaption, MB_OK | MB_ICONWARNING);
    }
}

void MainDialog::SaveList()
{
    const std::string filter = SaveFilter();
    // Room for MAX_PATH characters of three bytes each, as the UTF-8 code
    // page spells a name in another alphabet.
    char fileName[3 * MAX_PATH] = "Passwords";
    char fileTitle[3 * MAX_PATH] = {};
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 0;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = sizeof fileName;
    dialog.lpstrFileTitle = fileTitle;
    dialog.nMaxFileTitle = sizeof fileTitle;
    dialog.lpstrDefExt = "txt";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_SHOWHELP | OFN_EXPLORER | OFN_ENABLESIZING;
    std::string problem;
    if (!GetSaveFileNameA(&dialog)) {
        // Zero: the user cancelled.
        if (const DWORD code = CommDlgExtendedError(); code != 0) {
            problem = DialogFailure(code);
        }
    } else if (fileName[0] != '\0') {
        problem = SaveListFile(fileName, passwordList.Model());
    }
    if (!problem.empty()) {
        const std::string message = "The password list was not saved.\n\n" + problem +
                                    "\n\nAny earlier file of that name is unchanged.";
        MessageBoxA(Handle(), message.c_str(), kCaption, MB_OK | MB_ICONERROR);
    }
}

void MainDialog::DeleteSelected()
{
    ListModel& list = passwordList.Model();
    std::vector<int> selected;
    if (!list.GetSelectedItems(selected)) {
        return;
    }
    if (MessageBoxA(Handle(), "Are you sure you want to delete selected passwords from list?",
                    kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    std::vector<std::string> passwords;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (list.IsSelected(row)) {
            passwords.push_back(list.GetItemText(row, kPasswordColumn));
        }
    }
    // Found again by text, so the rows that move up after a removal do not
    // matter; a batch never lists one password twice.
    for (const std::string& password : passwords) {
        for (int row = 0; row < list.GetItemCount(); ++row) {
            if (list.GetItemText(row, kPasswordColumn) == password) {
                list.DeleteItem(row);
                break;
            }
        }
    }
}
