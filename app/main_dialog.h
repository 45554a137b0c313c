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
#include "toolkit/dialog_base.h"
#include "toolkit/subclassed_window.h"
#include "toolkit/unique_handles.h"

// The program's only window: the options, the password list, and the batch
// that fills it. Every batch runs on a thread of its own; whatever it changes
// in the dialog it changes through calls that run on the dialog's thread.
class MainDialog final : public DialogBase, public WorkerThread, public ProgressSink {
public:
    // dictionaryPath: where the exclusion words are read from; by default
    // "dictionary.txt" beside the executable.
    explicit MainDialog(std::string dictionaryPath = DefaultDictionaryPath(),
                        BatchRandom randomKind = BatchRandom::Secure);
    ~MainDialog() override;

    static std::string DefaultDictionaryPath();

    // The controls a batch switches off while it runs.
    void EnableOptionControls(bool enable);
    // The case radios make no sense for digits alone.
    void UpdateCaseControls();
    // The options as the controls show them.
    PasswordOptions ReadOptions() const;

    // Runs the function on the dialog's thread and returns when it has run;
    // called on the dialog's thread it simply runs it.
    void CallOnDialogThread(const std::function<void()>& function);
    // The message that carries such a call: lParam points to the function.
    static constexpr UINT kCallMessage = WM_APP + 1;

    bool IsClosing() const { return closing; }

    // WorkerThread
    void Run() override;
    // ProgressSink
    bool ReportProgress(int percentage) override;

    // What a batch does to the dialog, on the dialog's thread.
    void ClearList();
    void SetStatus(std::string_view text);
    void SetProgress(int percentage);
    void AddRow(const PasswordRow& row);
    void ShowPassword(const PasswordRow& row, int maxBits, int minBits);

    PasswordListControl& List() { return passwordList; }

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
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
    bool IsChecked(int id) const;
    int ReadNumber(int id) const;
    void SetText(int id, const char* text);

    std::atomic<bool> closing{false};
    std::atomic<int> lastPostedProgress{-1};
    PasswordListControl passwordList;
    UniqueImageList rowImages;
    UniqueIcon bigIcon;
    UniqueIcon smallIcon;
    GenerationBatch batch;
    ProgressBarWindow progressBar;
};
