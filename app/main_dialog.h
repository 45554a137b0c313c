#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

#include "batch/batch_run.h"
#include "batch/progress_sink.h"
#include "batch/worker_thread.h"
#include "engine/composer.h"
#include "listctrl/password_list_control.h"
#include "toolkit/banner_static.h"
#include "toolkit/dialog_base.h"
#include "toolkit/hyperlink_label.h"
#include "toolkit/subclassed_window.h"
#include "toolkit/unique_handles.h"

// Sees a batch's moments on the worker's thread, and may hold the worker
// there: a test closes the dialog at an exact point of the word list's load
// or of the list's filling this way, however fast the machine runs. The
// program itself has none.
class BatchObserver {
public:
    // The load has reached this percentage (each new one once).
    virtual void LoadReached(int percentage) = 0;
    // The batch is about to add its row number rows (from 1).
    virtual void RowReached(int rows) = 0;

protected:
    ~BatchObserver() = default;
};

// The program's only window: the options, the password list, and the batch
// that fills it. Every batch runs on a thread of its own and reaches the
// dialog only through its host, whose every call runs on the dialog's thread:
// the methods that touch windows are private, so worker code cannot call
// them directly.
class MainDialog final : public DialogBase, public WorkerThread, private ProgressSink {
public:
    // dictionaryPath: where the exclusion words are read from; by default
    // "dictionary.txt" beside the executable. Empty: no word list.
    explicit MainDialog(std::string dictionaryPath = DefaultDictionaryPath(),
                        BatchRandom randomKind = BatchRandom::Secure,
                        BatchObserver* observer = nullptr);
    ~MainDialog() override;

    // "dictionary.txt" beside the executable; empty when the executable's
    // own path cannot be had.
    static std::string DefaultDictionaryPath();

    bool IsClosing() const { return closing; }

    // For the dialog's thread only.
    PasswordListControl& List() { return passwordList; }

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    class DialogBatchHost;

    // WorkerThread
    void Run() override;
    // ProgressSink, called by the word-file load on the worker thread.
    bool ReportProgress(int percentage) override;

    LRESULT OnInitDialog();
    bool OnCommand(int id);
    void CenterOverOwner();
    void SetUpPasswordList();
    void SetWindowIcons();
    void SetVersionLabel();
    void LoadSettings();
    void SaveSettings();
    void CloseDialog(int result);
    void ShowSelectedPassword(const ListNotify& notify);
    void ShowLoadProgress();

    // The links under the list and the web address; the commands the list's
    // links and the "Copy" button run.
    void BindLinks();
    void CopyPassword();
    void SaveList();
    void DeleteSelected();

    // The controls a batch switches off.
    void EnableOptionControls(bool enable);
    // The case radios make no sense for digits alone.
    void UpdateCaseControls();
    // The options as the controls show them, and the other way round.
    PasswordOptions ReadOptions() const;
    void ShowOptions(const PasswordOptions& options);
    bool IsChecked(int id) const;
    int ReadNumber(int id) const;
    void SetText(int id, const char* text);

    // What a batch does to the dialog.
    void ClearList();
    void SetStatus(std::string_view text);
    void SetProgress(int percentage);
    void AddRow(const PasswordRow& row);
    void ShowPassword(const PasswordRow& row, int maxBits, int minBits);
    // The current password and its spelling in their boxes.
    void ShowCurrent(std::string_view password, std::string_view phonetics);
    void FlushCurrent();

    // Runs the function on the dialog's thread and returns when it has run.
    void CallOnDialogThread(const std::function<void()>& function);
    void RunPendingCall(LPARAM lParam);

    std::atomic<bool> closing{false};
    // The call the worker waits on; the message that carries it is answered
    // only for exactly this call.
    std::atomic<const std::function<void()>*> pendingCall{nullptr};
    // The word-file load's latest percentage, -1 once the batch's own
    // positions have begun, and whether a message to show it is on its way.
    std::atomic<int> loadProgress{-1};
    std::atomic<bool> loadProgressPosted{false};
    int lastReportedProgress = -1; // the worker's own
    static constexpr UINT_PTR kShowTimer = 1;
    static constexpr DWORD kShowInterval = 100;
    std::string shownPassword;
    std::string shownPhonetics;
    bool showPending = false;
    DWORD lastShown = 0;
    HyperLinkLabel webLink;
    HyperLinkLabel deleteLink;
    HyperLinkLabel saveLink;
    PasswordListControl passwordList;
    UniqueImageList rowImages;
    BannerStatic banner;
    UniqueIcon bigIcon;
    UniqueIcon smallIcon;
    GenerationBatch batch;
    BatchObserver* const batchObserver;
    ProgressBarWindow progressBar;
};
