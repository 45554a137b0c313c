#include "tests/app/dialog_runner.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <mutex>

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

// The test process's user-interface thread. It waits for a job, runs it (a
// dialog, modally) and waits again, handling the messages of its windows
// throughout; its caller window runs the test's calls on it.
class InterfaceThread {
public:
    static InterfaceThread& Instance()
    {
        static InterfaceThread instance;
        return instance;
    }

    DWORD Id() const { return threadId; }
    HWND Caller() const { return caller; }

    // Runs the job on the thread and returns at once.
    void Post(std::function<void()> job)
    {
        {
            std::lock_guard<std::mutex> guard(lock);
            pending = std::move(job);
        }
        SetEvent(jobReady);
    }

private:
    InterfaceThread()
    {
        jobReady = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        HANDLE started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        startedEvent = started;
        CloseHandle(CreateThread(nullptr, 0, Routine, this, 0, &threadId));
        WaitForSingleObject(started, INFINITE);
        CloseHandle(started);
    }

    static DWORD WINAPI Routine(void* parameter)
    {
        auto* self = static_cast<InterfaceThread*>(parameter);
        OleInitialize(nullptr);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = CallerProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "SorvaneTestCaller";
        RegisterClassA(&windowClass);
        self->caller = CreateWindowA("SorvaneTestCaller", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     windowClass.hInstance, nullptr);
        SetEvent(self->startedEvent);
        for (;;) {
            if (MsgWaitForMultipleObjects(1, &self->jobReady, FALSE, INFINITE, QS_ALLINPUT) ==
                WAIT_OBJECT_0) {
                std::function<void()> job;
                {
                    std::lock_guard<std::mutex> guard(self->lock);
                    job = std::move(self->pending);
                }
                if (job) {
                    job();
                }
                continue;
            }
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
    }

    HANDLE jobReady = nullptr;
    HANDLE startedEvent = nullptr;
    DWORD threadId = 0;
    HWND caller = nullptr;
    std::mutex lock;
    std::function<void()> pending;
};

} // namespace

DialogRunner::DialogRunner(std::string path, std::function<void()> before,
                           BatchObserver* batchObserver)
    : dictionaryPath(std::move(path)), beforeDialog(std::move(before)), observer(batchObserver)
{
    InterfaceThread& thread = InterfaceThread::Instance();
    threadId = thread.Id();
    ended = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread.Post([this] { RunDialog(); });
    for (int i = 0; i < 3000 && window == nullptr; ++i) {
        if (WaitForSingleObject(ended, 10) == WAIT_OBJECT_0) {
            break; // the dialog could not be created
        }
        EnumThreadWindows(threadId, FindDialog, reinterpret_cast<LPARAM>(&window));
    }
}

DialogRunner::~DialogRunner()
{
    if (WaitForSingleObject(ended, 0) != WAIT_OBJECT_0) {
        Close(WM_COMMAND, IDCANCEL);
    }
    // The job refers to this object until it has ended.
    WaitForSingleObject(ended, INFINITE);
    CloseHandle(ended);
}

void DialogRunner::RunDialog()
{
    if (beforeDialog) {
        beforeDialog();
    }
    {
        MainDialog mainDialog(dictionaryPath, BatchRandom::Secure, observer);
        dialog = &mainDialog;
        result = mainDialog.DoModal(nullptr, IDD_MAIN);
        dialog = nullptr;
    }
    SetEvent(ended);
}

void DialogRunner::OnDialogThread(const std::function<void()>& function) const
{
    SendMessageA(InterfaceThread::Instance().Caller(), kRunCall, 0,
                 reinterpret_cast<LPARAM>(&function));
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
    return WaitForEnd(timeout);
}

std::optional<INT_PTR> DialogRunner::WaitForEnd(DWORD timeout)
{
    if (WaitForSingleObject(ended, timeout) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    return result.load();
}

BatchHold::BatchHold(At holdAt, int holdMark)
    : at(holdAt), mark(holdMark), reached(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      released(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
}

BatchHold::~BatchHold()
{
    CloseHandle(reached);
    CloseHandle(released);
}

bool BatchHold::WaitUntilHeld(DWORD timeout) const
{
    return WaitForSingleObject(reached, timeout) == WAIT_OBJECT_0;
}

void BatchHold::Release() const
{
    SetEvent(released);
}

void BatchHold::LoadReached(int percentage)
{
    if (at == At::Load && percentage >= mark) {
        Hold();
    }
}

void BatchHold::RowReached(int rows)
{
    if (at == At::Row && rows >= mark) {
        Hold();
    }
}

void BatchHold::Hold()
{
    if (held.exchange(true)) {
        return;
    }
    SetEvent(reached);
    // Bounded, so a test that fails before releasing still ends.
    WaitForSingleObject(released, 120000);
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
