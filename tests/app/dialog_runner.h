#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/main_dialog.h"

// Runs a MainDialog modally on the test process's user-interface thread, the
// way start-up runs it on the program's thread, so the test's thread can drive
// it from outside with window messages. Every dialog of the process runs on
// that one thread, one after the other, as in the program: OLE is
// initialised on it once.
class DialogRunner {
public:
    // beforeDialog runs on the dialog's thread just before the dialog opens.
    // observer, when given, sees the dialog's batches.
    explicit DialogRunner(std::string dictionaryPath, std::function<void()> beforeDialog = nullptr,
                          BatchObserver* observer = nullptr);
    ~DialogRunner();

    HWND Window() const { return window; }
    DWORD ThreadId() const { return threadId; }

    // The dialog's object, for use on the dialog's thread only.
    MainDialog& Object() const { return *dialog.load(); }

    // Runs the function on the dialog's thread.
    void OnDialogThread(const std::function<void()>& function) const;

    std::string Text(int id) const;
    bool Checked(int id) const;
    bool Enabled(int id) const;
    void SetText(int id, const char* text) const;
    void Click(int id) const;
    std::vector<std::string> Passwords() const;
    int RowCount() const;
    int ProgressPosition() const;

    // Waits until the condition holds, asking every millisecond; false after
    // the time-out. For a state that, once reached, stays: never for a value
    // that passes by.
    static bool WaitUntil(const std::function<bool()>& condition, DWORD timeout = 30000);

    // Waits until the status line reads the text; false after the time-out.
    bool WaitForStatus(const std::string& text, DWORD timeout = 30000) const;
    // Waits until no run is active: the batch has given the controls back.
    bool WaitForIdle(DWORD timeout = 30000) const;
    // Waits for a batch's last status and for its run to end.
    bool WaitForBatch(const std::string& status) const
    {
        return WaitForStatus(status) && WaitForIdle();
    }

    // Posts the message as a user's action would arrive, waits for the dialog
    // to end and answers its result; nothing when it did not end in time.
    std::optional<INT_PTR> Close(UINT message, WPARAM wParam, DWORD timeout = 30000);
    // Waits for the dialog to end and answers its result, as Close.
    std::optional<INT_PTR> WaitForEnd(DWORD timeout = 30000);

private:
    void RunDialog();

    std::string dictionaryPath;
    std::function<void()> beforeDialog;
    BatchObserver* observer = nullptr;
    // Set once the dialog has ended and its object is gone.
    HANDLE ended = nullptr;
    DWORD threadId = 0;
    HWND window = nullptr;
    std::atomic<MainDialog*> dialog{nullptr};
    std::atomic<INT_PTR> result{0};
};

// Holds the dialog's next batch once, on the worker's thread, at the first
// load percentage or row at or past a mark, until the test releases it: the
// test acts at exactly that moment of the batch, however fast or slow the
// machine is, instead of racing the batch with polls.
class BatchHold final : public BatchObserver {
public:
    enum class At { Load, Row };
    BatchHold(At at, int mark);
    ~BatchHold();
    BatchHold(const BatchHold&) = delete;
    BatchHold& operator=(const BatchHold&) = delete;

    // Waits until the batch is held; false after the time-out.
    bool WaitUntilHeld(DWORD timeout = 120000) const;
    void Release() const;

    void LoadReached(int percentage) override;
    void RowReached(int rows) override;

private:
    void Hold();

    At at;
    int mark;
    std::atomic<bool> held{false};
    HANDLE reached;
    HANDLE released;
};

// The settings key of the test's own Wine prefix.
void ClearSettings();
void StoreRaw(const char* name, DWORD type, const void* data, DWORD size);
void StoreNumber(const char* name, DWORD value);
std::optional<DWORD> StoredNumber(const char* name);
