#include "tests/app/dialog_runner.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include "app/settings_store.h"
#include "res/resource.h"

namespace {

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lParam)
{
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof className);
    if (std::string(className) == "#32770" && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(lParam) = hwnd;
        return FALSE;
    }
    return TRUE;
}

constexpr UINT kRunCall = WM_APP + 100;

LRESULT CALLBACK CallerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kRunCall) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND CreateCaller()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = CallerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "SorvaneTestCaller";
    RegisterClassA(&windowClass);
    return CreateWindowA("SorvaneTestCaller", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         windowClass.hInstance, nullptr);
}

} // namespace

DialogRunner::DialogRunner(std::string path, std::function<void()> before)
    : dictionaryPath(std::move(path)), beforeDialog(std::move(before))
{
    thread = CreateThread(nullptr, 0, ThreadRoutine, this, 0, &threadId);
    for (int i = 0; i < 3000 && window == nullptr; ++i) {
        if (WaitForSingleObject(thread, 10) == WAIT_OBJECT_0) {
            break; // the dialog could not be created
        }
        EnumThreadWindows(threadId, FindDialog, reinterpret_cast<LPARAM>(&window));
    }
}

DialogRunner::~DialogRunner()
{
    if (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0) {
        Close(WM_COMMAND, IDCANCEL);
    }
    CloseHandle(thread);
}

DWORD WINAPI DialogRunner::ThreadRoutine(void* parameter)
{
    auto* self = static_cast<DialogRunner*>(parameter);
    CoInitialize(nullptr);
    self->caller = CreateCaller();
    if (self->beforeDialog) {
        self->beforeDialog();
    }
    {
        MainDialog mainDialog(self->dictionaryPath);
        self->dialog = &mainDialog;
        self->result = mainDialog.DoModal(nullptr, IDD_MAIN);
        self->dialog = nullptr;
    }
    DestroyWindow(self->caller.load());
    CoUninitialize();
    return 0;
}

void DialogRunner::OnDialogThread(const std::function<void()>& function) const
{
    SendMessageA(caller.load(), kRunCall, 0, reinterpret_cast<LPARAM>(&function));
}

std::string DialogRunner::Text(int id) const
{
    char text[512] = {};
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

bool DialogRunner::Checked(int id) const
{
    return SendDlgItemMessageA(window, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool DialogRunner::Enabled(int id) const
{
    return IsWindowEnabled(GetDlgItem(window, id)) != FALSE;
}

void DialogRunner::SetText(int id, const char* text) const
{
    SetDlgItemTextA(window, id, text);
}

void DialogRunner::Click(int id) const
{
    SendDlgItemMessageA(window, id, BM_CLICK, 0, 0);
}

std::vector<std::string> DialogRunner::Passwords() const
{
    std::vector<std::string> passwords;
    OnDialogThread([&] {
        const ListModel& list = dialog.load()->List().Model();
        for (int row = 0; row < list.GetItemCount(); ++row) {
            passwords.push_back(list.GetItemText(row, 0));
        }
    });
    return passwords;
}

int DialogRunner::RowCount() const
{
    int count = 0;
    OnDialogThread([&] { count = dialog.load()->List().Model().GetItemCount(); });
    return count;
}

int DialogRunner::ProgressPosition() const
{
    return static_cast<int>(SendDlgItemMessageA(window, IDC_PROGRESS, PBM_GETPOS, 0, 0));
}

bool DialogRunner::WaitUntil(const std::function<bool()>& condition, DWORD timeout)
{
    const ULONGLONG end = GetTickCount64() + timeout;
    while (!condition()) {
        if (GetTickCount64() >= end) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

bool DialogRunner::WaitForStatus(const std::string& text, DWORD timeout) const
{
    return WaitUntil([&] { return Text(IDC_STATUS) == text; }, timeout);
}

bool DialogRunner::WaitForIdle(DWORD timeout) const
{
    for (DWORD waited = 0; waited < timeout; waited += 10) {
        bool running = true;
        OnDialogThread([&] { running = dialog.load()->IsRunning(); });
        if (!running) {
            return true;
        }
        Sleep(10);
    }
    return false;
}

std::optional<INT_PTR> DialogRunner::Close(UINT message, WPARAM wParam, DWORD timeout)
{
    PostMessageA(window, message, wParam, 0);
    if (WaitForSingleObject(thread, timeout) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    return result.load();
}

void ClearSettings()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsStore::KeyPath());
}

void StoreRaw(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsStore::KeyPath(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void StoreNumber(const char* name, DWORD value)
{
    StoreRaw(name, REG_DWORD, &value, sizeof value);
}

std::optional<DWORD> StoredNumber(const char* name)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, SettingsStore::KeyPath(), name, RRF_RT_ANY, &type, &value,
                     &size) != ERROR_SUCCESS ||
        type != REG_DWORD) {
        return std::nullopt;
    }
    return value;
}
