// Times a batch of 300 passwords in the real dialog with the list visible,
// and how long the dialog's thread was ever busy without handling a message.
// A plain timer, run under Wine (or on Windows); it needs a display.
//
//   batch_timer [RUNS] [--listener]
//
// For each run: the seconds from the window appearing to "300 password(s)
// created.", and the longest gap between two messages the dialog's thread
// handled meanwhile, while another thread asks it for an answer every
// millisecond. The summary gives the median time and the median of the
// runs' longest gaps. The options of the current user are put back
// afterwards.
//
// --listener: every second run has a screen reader's part attached, a
// win-event listener out of context for every event of the process, which
// reads the name of each row the selection or the focus moves to; the
// figures with and without it are given side by side, so that announcing
// the rows can be seen not to slow the batch.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include <oleacc.h>

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

// The listener's part: what a screen reader does with the list's events.
std::atomic<long> eventsHeard{0};
std::atomic<long> namesRead{0};

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                         DWORD)
{
    ++eventsHeard;
    if ((event != EVENT_OBJECT_SELECTION && event != EVENT_OBJECT_FOCUS) ||
        object != OBJID_CLIENT || child <= 0) {
        return;
    }
    IAccessible* accessible = nullptr;
    VARIANT element;
    VariantInit(&element);
    if (FAILED(AccessibleObjectFromEvent(hwnd, object, child, &accessible, &element))) {
        return;
    }
    BSTR name = nullptr;
    if (SUCCEEDED(accessible->get_accName(element, &name)) && name != nullptr) {
        ++namesRead;
        SysFreeString(name);
    }
    VariantClear(&element);
    accessible->Release();
}

// On a thread of its own, as a reader in another process would be: hooks
// the events of this process and handles its messages until told to quit.
DWORD WINAPI Listen(void* ready)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, OnWinEvent,
                                               GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE); // the queue exists before it is told
    SetEvent(static_cast<HANDLE>(ready));
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    UnhookWinEvent(hook);
    CoUninitialize();
    return 0;
}

struct Listener {
    HANDLE thread = nullptr;
    DWORD id = 0;

    void Start()
    {
        const HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread = CreateThread(nullptr, 0, Listen, ready, 0, &id);
        WaitForSingleObject(ready, INFINITE);
        CloseHandle(ready);
    }
    void Stop()
    {
        PostThreadMessageA(id, WM_QUIT, 0, 0);
        // The listener may be in the middle of a call to this thread, the
        // dialog's: the calls are answered while it is waited for.
        DWORD index = 0;
        CoWaitForMultipleHandles(0, INFINITE, 1, &thread, &index);
        CloseHandle(thread);
    }
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void PrintSummary(const std::vector<Run>& results, const char* which)
{
    std::vector<double> seconds;
    std::vector<double> gaps;
    for (const Run& run : results) {
        seconds.push_back(run.seconds);
        gaps.push_back(run.longestGap);
    }
    const double median = Median(seconds);
    std::printf("median of %d%s: %.2f s for 300 passwords (%.1f ms each, %.1f ms beyond the "
                "pause), longest gap %.1f ms\n",
                static_cast<int>(results.size()), which, median, median * 1000 / kCount,
                median * 1000 / kCount - 10.0, Median(gaps));
}

std::optional<int> Stored(const char* name)
{
    return SettingsStore::ReadValue(name);
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 3;
    bool withListener = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--listener") == 0) {
            withListener = true;
        } else {
            runs = std::max(1, std::atoi(argv[i]));
        }
    }
    QueryPerformanceFrequency(&frequency);
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    programModule.Init(GetModuleHandleA(nullptr));
    const std::optional<int> previousCount = Stored("Count");
    const HHOOK sent = SetWindowsHookExA(WH_CALLWNDPROC, SentHook, nullptr, GetCurrentThreadId());
    const HHOOK posted =
        SetWindowsHookExA(WH_GETMESSAGE, PostedHook, nullptr, GetCurrentThreadId());
    std::vector<Run> results;
    std::vector<Run> listened;
    // Alternating, so that a machine that slows down or speeds up during the
    // runs weighs on both kinds alike.
    for (int i = 0; i < (withListener ? 2 * runs : runs); ++i) {
        const bool listening = withListener && i % 2 == 1;
        SettingsStore::WriteValue("Count", kCount);
        Run run;
        run.dialogThread = GetCurrentThreadId();
        Listener listener;
        if (listening) {
            eventsHeard = 0;
            namesRead = 0;
            listener.Start();
        }
        const HANDLE measuring = CreateThread(nullptr, 0, Measure, &run, 0, nullptr);
        {
            MainDialog dialog;
            dialog.DoModal(nullptr, IDD_MAIN);
        }
        WaitForSingleObject(measuring, INFINITE);
        CloseHandle(measuring);
        if (listening) {
            listener.Stop();
        }
        std::printf(
            "run %d%s: %s %.2f s, longest gap %.1f ms", i + 1, listening ? " with a listener" : "",
            run.finished ? "batch of 300 in" : "unfinished after", run.seconds, run.longestGap);
        if (listening) {
            std::printf(" (%ld events heard, %ld names read)", eventsHeard.load(),
                        namesRead.load());
        }
        std::printf("\n");
        (listening ? listened : results).push_back(run);
    }
    UnhookWindowsHookEx(sent);
    UnhookWindowsHookEx(posted);
    if (previousCount) {
        SettingsStore::WriteValue("Count", *previousCount);
    }
    PrintSummary(results, "");
    if (withListener) {
        PrintSummary(listened, " with a listener");
    }
    programModule.Term();
    OleUninitialize();
    return 0;
}
