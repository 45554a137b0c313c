// Times a batch of 300 passwords in the real dialog with the list visible,
// and how long the dialog's thread was ever busy without handling a message.
// A plain timer, run under Wine (or on Windows); it needs a display.
//
//   batch_timer [RUNS]
//
// For each run: the seconds from the window appearing to "300 password(s)
// created.", and the longest gap between two messages the dialog's thread
// handled meanwhile, while another thread asks it for an answer every
// millisecond. The options of the current user are put back afterwards.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "app/main_dialog.h"
#include "app/settings_store.h"
#include "res/resource.h"
#include "toolkit/module.h"

namespace {

constexpr int kCount = 300;

LARGE_INTEGER frequency;
std::vector<LONGLONG> handled(1 << 22);
std::atomic<std::size_t> handledCount{0};
std::atomic<bool> recording{false};

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Milliseconds(LONGLONG ticks)
{
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

void Record()
{
    if (recording) {
        const std::size_t at = handledCount++;
        if (at < handled.size()) {
            handled[at] = Now();
        }
    }
}

LRESULT CALLBACK SentHook(int code, WPARAM wParam, LPARAM lParam)
{
    Record();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK PostedHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        Record();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lParam)
{
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(lParam) = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct Run {
    DWORD dialogThread = 0;
    double seconds = 0;
    double longestGap = 0;
    bool finished = false;
};

// On a thread of its own: waits for the dialog, pings it, times the batch
// and closes the dialog.
DWORD WINAPI Measure(void* parameter)
{
    auto& run = *static_cast<Run*>(parameter);
    HWND dialog = nullptr;
    for (int i = 0; i < 6000 && dialog == nullptr; ++i) {
        Sleep(5);
        EnumThreadWindows(run.dialogThread, FindDialog, reinterpret_cast<LPARAM>(&dialog));
    }
    if (dialog == nullptr) {
        return 1;
    }
    const LONGLONG start = Now();
    handledCount = 0;
    recording = true;
    char status[128] = {};
    const char* const done = "300 password(s) created.";
    for (int i = 0; i < 120000; ++i) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
        GetDlgItemTextA(dialog, IDC_STATUS, status, sizeof status);
        if (lstrcmpA(status, done) == 0) {
            run.finished = true;
            break;
        }
        Sleep(1);
    }
    const LONGLONG end = Now();
    recording = false;
    run.seconds = Milliseconds(end - start) / 1000.0;
    const std::size_t count = std::min(handledCount.load(), handled.size());
    LONGLONG previous = start;
    for (std::size_t i = 0; i < count; ++i) {
        run.longestGap = std::max(run.longestGap, Milliseconds(handled[i] - previous));
        previous = handled[i];
    }
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return 0;
}

std::optional<int> Stored(const char* name)
{
    return SettingsStore::ReadValue(name);
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    QueryPerformanceFrequency(&frequency);
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    module.Init(GetModuleHandleA(nullptr));
    const std::optional<int> previousCount = Stored("Count");
    const HHOOK sent = SetWindowsHookExA(WH_CALLWNDPROC, SentHook, nullptr, GetCurrentThreadId());
    const HHOOK posted =
        SetWindowsHookExA(WH_GETMESSAGE, PostedHook, nullptr, GetCurrentThreadId());
    std::vector<Run> results;
    for (int i = 0; i < runs; ++i) {
        SettingsStore::WriteValue("Count", kCount);
        Run run;
        run.dialogThread = GetCurrentThreadId();
        const HANDLE measuring = CreateThread(nullptr, 0, Measure, &run, 0, nullptr);
        {
            MainDialog dialog;
            dialog.DoModal(nullptr, IDD_MAIN);
        }
        WaitForSingleObject(measuring, INFINITE);
        CloseHandle(measuring);
        std::printf("run %d: %s %.2f s, longest gap %.1f ms\n", i + 1,
                    run.finished ? "batch of 300 in" : "unfinished after", run.seconds,
                    run.longestGap);
        results.push_back(run);
    }
    UnhookWindowsHookEx(sent);
    UnhookWindowsHookEx(posted);
    if (previousCount) {
        SettingsStore::WriteValue("Count", *previousCount);
    }
    std::sort(results.begin(), results.end(),
              [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
    const Run& median = results[results.size() / 2];
    std::printf("median of %d: %.2f s for 300 passwords (%.1f ms each, %.1f ms beyond the pause), "
                "longest gap %.1f ms\n",
                runs, median.seconds, median.seconds * 1000 / kCount,
                median.seconds * 1000 / kCount - 10.0, median.longestGap);
    module.Term();
    OleUninitialize();
    return 0;
}
