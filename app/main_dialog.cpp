#include "app/main_dialog.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

#include "app/dialog_controls.h"
#include "app/password_columns.h"
#include "res/resource.h"
#include "toolkit/dpi.h"
#include "toolkit/module.h"

namespace {

// The messages that carry work to the dialog's thread. The call message is
// registered, so no other window class sends it by accident; whoever sends
// it, only the call the worker has pending is run.
UINT CallMessage()
{
    static const UINT message = [] {
        const UINT registered = RegisterWindowMessageA("Tavolin.Sorvane.DialogCall");
        return registered != 0 ? registered : WM_APP + 1;
    }();
    return message;
}

// Carries nothing: the dialog reads the load's latest percentage when it
// arrives.
constexpr UINT kLoadProgressMessage = WM_APP + 2;

// The program's icon beside each row, at the size for the DPI. The old
// images are freed only once the list shows the new ones.
void SetRowImages(PasswordListControl& list, UniqueImageList& rowImages, int dpi)
{
    UniqueImageList images = LoadIconImages(programModule.Instance(), IDI_APP, dpi);
    if (images) {
        list.SetImageList(images.get());
        rowImages = std::move(images);
    }
}

HICON LoadWindowIcon(HWND window, int width, int height)
{
    const int dpi = WindowDpi(window);
    return static_cast<HICON>(LoadImageA(programModule.Instance(), MAKEINTRESOURCEA(IDI_DIALOG),
                                         IMAGE_ICON, SystemMetricForDpi(width, dpi),
                                         SystemMetricForDpi(height, dpi), 0));
}

} // namespace

// The batch's view of the dialog: every call that touches a window runs on
// the dialog's thread and has finished when it returns, so the rows never
// change while the list paints and the controls change in the batch's order.
// The changes of one password (its progress, its row, its display) are made
// together in one call, so the dialog repaints once per password instead of
// between each of them.
class MainDialog::DialogBatchHost final : public BatchHost {
public:
    explicit DialogBatchHost(MainDialog& mainDialog) : dialog(mainDialog) {}
    ~DialogBatchHost() { Call(nullptr); }
    DialogBatchHost(const DialogBatchHost&) = delete;
    DialogBatchHost& operator=(const DialogBatchHost&) = delete;

    bool IsRunning() override { return dialog.IsRunning(); }
    bool IsClosing() override { return dialog.IsClosing(); }

    void EnableOptionControls(bool enable) override
    {
        Call([&] { dialog.EnableOptionControls(enable); });
    }
    void UpdateCaseControls() override
    {
        Call([&] { dialog.UpdateCaseControls(); });
    }
    PasswordOptions ReadOptions() override
    {
        PasswordOptions options;
        Call([&] { options = dialog.ReadOptions(); });
        return options;
    }
    void ClearList() override
    {
        Call([&] { dialog.ClearList(); });
    }
    void SetStatus(std::string_view text) override
    {
        Call([&] { dialog.SetStatus(text); });
    }
    void SetProgress(int percentage) override
    {
        if (pendingProgress || pendingRow) {
            Call(nullptr);
        }
        pendingProgress = percentage;
    }
    void AddRow(const PasswordRow& row) override
    {
        if (pendingRow) {
            Call(nullptr);
        }
        ++rows;
        if (dialog.batchObserver != nullptr) {
            dialog.batchObserver->RowReached(rows);
        }
        pendingRow = row;
    }
    void ShowPassword(const PasswordRow& row, int maxBits, int minBits) override
    {
        Call([&] { dialog.ShowPassword(row, maxBits, minBits); });
    }

private:
    // Makes the changes still pending, in their order, then the action.
    void Call(const std::function<void()>& action)
    {
        if (!pendingProgress && !pendingRow && !action) {
            return;
        }
        dialog.CallOnDialogThread([&] {
            if (pendingProgress) {
                dialog.SetProgress(*pendingProgress);
            }
            if (pendingRow) {
                dialog.AddRow(*pendingRow);
            }
            if (action) {
                action();
            }
        });
        pendingProgress.reset();
        pendingRow.reset();
    }

    MainDialog& dialog;
    int rows = 0;
    std::optional<int> pendingProgress;
    std::optional<PasswordRow> pendingRow;
};

MainDialog::MainDialog(std::string dictionaryPath, BatchRandom randomKind, BatchObserver* observer)
    : batch(std::move(dictionaryPath), randomKind), batchObserver(observer)
{
    PasswordListControl::RegisterWindowClass(programModule.Instance());
}

MainDialog::~MainDialog()
{
    // The close path has already waited; this covers a dialog that ended some
    // other way, so no run can outlive the object it runs on.
    Stop();
    WaitForEnd(INFINITE);
}

std::string MainDialog::DefaultDictionaryPath()
{
    const std::string executable = ModuleFileName(nullptr);
    return executable.empty() ? std::string() : DictionaryPathBeside(executable);
}

bool MainDialog::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == CallMessage()) {
        RunPendingCall(lParam);
        result = 0;
        return true;
    }
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return true;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam))) {
            result = 0;
            return true;
        }
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header != nullptr && header->hwndFrom == passwordList.Handle() &&
            header->idFrom == IDC_PASSWORD_LIST &&
            static_cast<int>(header->code) == NotifySelected) {
            ShowSelectedPassword(*reinterpret_cast<const ListNotify*>(lParam));
            result = 0;
            return true;
        }
        break;
    }
    case kLoadProgressMessage:
        ShowLoadProgress();
        result = 0;
        return true;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_FONTCHANGE:
        // The list, the links and the banner draw with the system's colours,
        // fonts and settings; only the dialog hears when they change.
        ForwardToControls(message, wParam, lParam);
        return false;
    case WM_DPICHANGED:
        // Where the dialog manager scales the font and the controls (after
        // this: the message goes on to it), the window takes the size Windows
        // suggests and icons of its new DPI, and the list row images of it
        // for when it follows (WM_DPICHANGED_AFTERPARENT). Elsewhere the
        // dialog keeps the scale it started at, whole.
        if (DialogsFollowDpiChanges() && lParam != 0) {
            SetWindowIcons();
            SetRowImages(passwordList, rowImages, LOWORD(wParam));
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(Handle(), nullptr, suggested.left, suggested.top,
                         suggested.right - suggested.left, suggested.bottom - suggested.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return false;
    case WM_TIMER:
        if (wParam == kShowTimer) {
            FlushCurrent();
            result = 0;
            return true;
        }
        break;
    default:
        break;
    }
    return ReflectNotification(message, wParam, lParam, result);
}

bool MainDialog::OnCommand(int id)
{
    switch (id) {
    case IDOK:
    case IDCANCEL:
        CloseDialog(id);
        return true;
    case IDC_GENERATE:
        Start();
        return true;
    case IDC_COPY:
        CopyPassword();
        return true;
    case IDC_ONLY_NUMBERS:
    case IDC_HEX_DIGITS:
    case IDC_ONLY_LETTERS:
    case IDC_LETTERS_AND_NUMBERS:
        UpdateCaseControls();
        return true;
    // A link's command runs for the link's own activation alone: any
    // program can post a command with its identifier, and a bare static
    // would report being switched on with it.
    case IDC_SAVE_LINK:
        if (saveLink.ClaimActivation()) {
            SaveList();
        }
        return true;
    case IDC_DELETE_LINK:
        if (deleteLink.ClaimActivation()) {
            DeleteSelected();
        }
        return true;
    default:
        return false;
    }
}

// LRESULT OnInitDialog()
LRESULT MainDialog::OnInitDialog()
{
    CenterOverOwner();
    SetUpPasswordList();
    SetWindowIcons();
    BindLinks();
    progressBar.Subclass(GetDlgItem(Handle(), IDC_PROGRESS));
    SendDlgItemMessageA(Handle(), IDC_LENGTH_SPIN, UDM_SETRANGE32, PasswordOptions::kMinLength,
                        PasswordOptions::kMaxLength);
    SendDlgItemMessageA(Handle(), IDC_COUNT_SPIN, UDM_SETRANGE32, PasswordOptions::kMinCount,
                        PasswordOptions::kMaxCount);
    SetVersionLabel();
    LoadSettings();
    banner.Subclass(GetDlgItem(Handle(), IDC_BANNER));
    banner.SetIcon(IDI_APP);
    UpdateCaseControls();
    Start();
    return TRUE;
}

void MainDialog::CenterOverOwner()
{
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT around = area;
    const HWND owner = GetWindow(Handle(), GW_OWNER);
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &around);
    }
    RECT own{};
    GetWindowRect(Handle(), &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    int left = around.left + (around.right - around.left - width) / 2;
    int top = around.top + (around.bottom - around.top - height) / 2;
    if (left < area.left) {
        left = area.left;
    } else if (left + width > area.right) {
        left = area.right - width;
    }
    if (top < area.top) {
        top = area.top;
    } else if (top + height > area.bottom) {
        top = area.bottom - height;
    }
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainDialog::SetUpPasswordList()
{
    if (passwordList.Subclass(GetDlgItem(Handle(), IDC_PASSWORD_LIST))) {
        passwordList.Setup();
        InvalidateRect(passwordList.Handle(), nullptr, TRUE);
    }
    ListModel& list = passwordList.Model();
    const ListLook& look = passwordList.Look();
    list.SetFocusCellMode(false);
    AddPasswordColumns(list, look.dpi);
    SetRowImages(passwordList, rowImages, look.dpi);
}

void MainDialog::SetWindowIcons()
{
    // An icon the window shows is freed only once a new one has replaced it.
    const struct {
        UniqueIcon& icon;
        WPARAM kind;
        int width;
        int height;
    } kIcons[] = {{bigIcon, ICON_BIG, SM_CXICON, SM_CYICON},
                  {smallIcon, ICON_SMALL, SM_CXSMICON, SM_CYSMICON}};
    for (const auto& shown : kIcons) {
        UniqueIcon icon(LoadWindowIcon(Handle(), shown.width, shown.height));
        if (icon) {
            SendMessageA(Handle(), WM_SETICON, shown.kind, reinterpret_cast<LPARAM>(icon.get()));
            shown.icon = std::move(icon);
        }
    }
}

void MainDialog::CloseDialog(int result)
{
    closing = true;
    if (IsRunning()) {
        Stop();
    }
    // Also a run that has just returned is still leaving its thread routine,
    // which reads this object: wait for the thread itself, answering the
    // dialog calls it may still be making.
    WaitForEndServingSentMessages();
    SaveSettings();
    EndDialog(result);
}

void MainDialog::ShowSelectedPassword(const ListNotify& notify)
{
    if (notify.row == -1) {
        return;
    }
    const ListModel& list = passwordList.Model();
    ShowCurrent(list.GetItemText(notify.row, kPasswordColumn),
                list.GetItemText(notify.row, kPhoneticsColumn));
}

void MainDialog::EnableOptionControls(bool enable)
{
    for (const int id : kOptionControls) {
        EnableWindow(GetDlgItem(Handle(), id), enable);
    }
}

void MainDialog::UpdateCaseControls()
{
    const bool letters = !IsChecked(IDC_ONLY_NUMBERS);
    for (const int id : kCaseRadios) {
        EnableWindow(GetDlgItem(Handle(), id), letters);
    }
}

void MainDialog::SetText(int id, const char* text)
{
    const HWND control = GetDlgItem(Handle(), id);
    // A batch shows each password twice (the list's selection notice, then
    // the batch itself) and rewrites the entropy labels for every password:
    // a control whose text stays the same is left alone rather than
    // repainted.
    char current[512];
    const int length = GetWindowTextA(control, current, sizeof current);
    if (length < static_cast<int>(sizeof current) - 1 && std::strcmp(current, text) == 0) {
        return;
    }
    if ((GetWindowLongPtrA(control, GWL_STYLE) & ES_MULTILINE) == 0) {
        SetWindowTextA(control, text);
        return;
    }
    // A multi-line box draws its scroll bar at once for every new text,
    // which took longer than all the rest a password needs. It is drawn
    // with the next paint instead, and its frame only when the scroll bar
    // changed.
    const auto scrollState = [control] {
        return std::make_pair(SendMessageA(control, EM_GETLINECOUNT, 0, 0),
                              SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0));
    };
    const auto before = scrollState();
    SendMessageA(control, WM_SETREDRAW, FALSE, 0);
    SetWindowTextA(control, text);
    SendMessageA(control, WM_SETREDRAW, TRUE, 0);
    const UINT frame = scrollState() != before ? RDW_FRAME : 0;
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | frame);
}

void MainDialog::CallOnDialogThread(const std::function<void()>& function)
{
    if (GetWindowThreadProcessId(Handle(), nullptr) == GetCurrentThreadId()) {
        function();
        return;
    }
    pendingCall = &function;
    SendMessageA(Handle(), CallMessage(), 0, reinterpret_cast<LPARAM>(&function));
    pendingCall = nullptr;
}

void MainDialog::RunPendingCall(LPARAM lParam)
{
    // Any program of this user can send the message with any number in it:
    // only the pointer the worker is waiting on is followed, and only once.
    const auto* call = reinterpret_cast<const std::function<void()>*>(lParam);
    const std::function<void()>* expected = call;
    if (call != nullptr && pendingCall.compare_exchange_strong(expected, nullptr)) {
        (*call)();
    }
}

void MainDialog::Run()
{
    lastReportedProgress = -1;
    DialogBatchHost host(*this);
    batch.Run(host, *this);
}

bool MainDialog::ReportProgress(int percentage)
{
    // Asked after every line of the word file. The dialog shows whatever is
    // latest when it gets round to it, so at most one message waits in its
    // queue and none can carry a stale position.
    if (percentage != lastReportedProgress) {
        lastReportedProgress = percentage;
        if (batchObserver != nullptr) {
            batchObserver->LoadReached(percentage);
        }
        loadProgress = percentage;
        if (!loadProgressPosted.exchange(true) &&
            !PostMessageA(Handle(), kLoadProgressMessage, 0, 0)) {
            loadProgressPosted = false;
        }
    }
    return IsRunning();
}

void MainDialog::ShowLoadProgress()
{
    // Cleared before the read: a percentage stored after it posts anew.
    loadProgressPosted = false;
    const int percentage = loadProgress;
    if (percentage >= 0) {
        SendDlgItemMessageA(Handle(), IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(percentage), 0);
    }
}

void MainDialog::ClearList()
{
    passwordList.Model().DeleteAllItems();
}

void MainDialog::SetStatus(std::string_view text)
{
    if (showPending) {
        FlushCurrent();
    }
    SetText(IDC_STATUS, std::string(text).c_str());
}

void MainDialog::SetProgress(int percentage)
{
    // The batch's own positions follow the load's: a load message still on
    // its way finds nothing to show.
    loadProgress = -1;
    SendDlgItemMessageA(Handle(), IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(percentage), 0);
}

void MainDialog::AddRow(const PasswordRow& row)
{
    AppendPasswordRow(passwordList.Model(), row);
}

void MainDialog::ShowPassword(const PasswordRow& row, int maxBits, int minBits)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d Bit", maxBits);
    SetText(IDC_MAX_ENTROPY, text);
    std::snprintf(text, sizeof text, "%d Bit", minBits);
    SetText(IDC_MIN_ENTROPY, text);
    ShowCurrent(row.password, row.phonetics);
}

void MainDialog::ShowCurrent(std::string_view password, std::string_view phonetics)
{
    shownPassword.assign(password);
    shownPhonetics.assign(phonetics);
    // A batch shows a new password every few milliseconds, faster than
    // anyone reads and faster than the boxes can redraw: while it runs they
    // follow at most every kShowInterval milliseconds, and the batch's last
    // password is on show before its status line says it is done.
    const DWORD now = GetTickCount();
    if (IsRunning() && now - lastShown < kShowInterval) {
        if (!showPending) {
            showPending = true;
            SetTimer(Handle(), kShowTimer, kShowInterval - (now - lastShown), nullptr);
        }
        return;
    }
    FlushCurrent();
}

void MainDialog::FlushCurrent()
{
    if (showPending) {
        KillTimer(Handle(), kShowTimer);
        showPending = false;
    }
    lastShown = GetTickCount();
    SetText(IDC_CURRENT_PASSWORD, shownPassword.c_str());
    SetText(IDC_PHONETICS, shownPhonetics.c_str());
}
