#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/app/dialog_runner.h"

namespace {

constexpr UINT kSettle = WM_APP + 200;
std::atomic<bool> settled{false};

LRESULT CALLBACK SettleProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kSettle) {
        settled = true;
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool IsMessageBox(HWND box)
{
    return GetDlgItem(box, 0xFFFF) != nullptr; // the box's text
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The real dialog, driven the way its commands arrive: posted, so the test's
// thread stays free to answer the boxes they open.
class ListCommandsTest : public ::testing::Test {
protected:
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("sorvane-commands-" + std::to_string(GetCurrentProcessId()));
    std::unique_ptr<DialogRunner> dialog;
    HWND settler = nullptr;

    void SetUp() override
    {
        ClearSettings();
        StoreNumber("Count", 5);
        std::filesystem::create_directories(folder);
        dialog = std::make_unique<DialogRunner>("");
        ASSERT_TRUE(dialog->WaitForBatch("5 password(s) created."));
        dialog->OnDialogThread([&] {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = SettleProc;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = "SorvaneTestSettler";
            RegisterClassA(&windowClass);
            settler = CreateWindowA("SorvaneTestSettler", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    windowClass.hInstance, nullptr);
        });
    }
    void TearDown() override
    {
        dialog->OnDialogThread([&] { DestroyWindow(settler); });
        EXPECT_EQ(dialog->Close(WM_COMMAND, IDOK), 1);
        // The save dialog makes the folder it saved in the current one.
        std::filesystem::current_path(folder.parent_path());
        std::filesystem::remove_all(folder);
        ClearSettings();
    }

    // Returns once the dialog's thread has dispatched everything posted to it
    // before, including whatever boxes that opened.
    void Settle() const
    {
        settled = false;
        PostMessageA(settler, kSettle, 0, 0);
        ASSERT_TRUE(DialogRunner::WaitUntil([] { return settled.load(); }));
    }
    // Clicks the link as the mouse does; the dialog runs a link's command
    // for nothing else.
    void Post(int id) const
    {
        const HWND link = GetDlgItem(dialog->Window(), id);
        PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, kInsideLink);
        PostMessageA(link, WM_LBUTTONUP, 0, kInsideLink);
    }
    static constexpr LPARAM kInsideLink = MAKELPARAM(5, 5);
    // The visible dialog boxes of the dialog's thread besides the main one.
    std::vector<HWND> Boxes() const
    {
        struct Search {
            HWND main;
            std::vector<HWND> found;
        } search{dialog->Window(), {}};
        EnumThreadWindows(
            dialog->ThreadId(),
            [](HWND hwnd, LPARAM lParam) {
                auto* s = reinterpret_cast<Search*>(lParam);
                char name[16] = {};
                GetClassNameA(hwnd, name, sizeof name);
                if (hwnd != s->main && IsWindowVisible(hwnd) && std::string(name) == "#32770") {
                    s->found.push_back(hwnd);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    HWND WaitForBox(bool messageBox) const
    {
        HWND box = nullptr;
        DialogRunner::WaitUntil([&] {
            for (const HWND found : Boxes()) {
                if (IsMessageBox(found) == messageBox) {
                    box = found;
                }
            }
            return box != nullptr;
        });
        return box;
    }
    static std::string BoxText(HWND box)
    {
        char text[512] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        return text;
    }
    void Answer(HWND box, int button) const
    {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
        ASSERT_TRUE(DialogRunner::WaitUntil([box] { return !IsWindow(box); }));
    }
    // Cancels whatever boxes a failing command opened, the newest first, so
    // a failure does not leave the dialog unable to close.
    void DismissBoxes() const
    {
        for (int round = 0; round < 10 && !Boxes().empty(); ++round) {
            Answer(Boxes().front(), IDCANCEL);
            Settle();
        }
    }
    // Types the name into the save dialog's file-name box, which has the
    // focus, and presses Save.
    void SaveAs(HWND box, const std::string& name) const
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(DialogRunner::WaitUntil([&] {
            return GetGUIThreadInfo(dialog->ThreadId(), &info) && IsChild(box, info.hwndFocus);
        }));
        SetWindowTextA(info.hwndFocus, name.c_str());
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    std::string ExpectedFile() const
    {
        std::string expected = "Password\tEntropy\tPhonetics\r\n\r\n";
        dialog->OnDialogThread([&] {
            const ListModel& list = List();
            for (int row = 0; row < list.GetItemCount(); ++row) {
                expected += list.GetItemText(row, 0) + "\t" + list.GetItemText(row, 1) + "\t" +
                            list.GetItemText(row, 2) + "\r\n";
            }
        });
        return expected;
    }
    // The list's rows; only on the dialog's thread. The dialog base keeps
    // its object in the window's user slot.
    ListModel& List() const
    {
        auto* base = reinterpret_cast<DialogBase*>(GetWindowLongPtrA(dialog->Window(), DWLP_USER));
        return static_cast<MainDialog*>(base)->List().Model();
    }
};

// Bytes exactly as shown, the name given an extension when it has none, no
// file when the user cancels, and a question before an existing file goes.
TEST_F(ListCommandsTest, SavesTheListThroughTheSaveDialog)
{
    const std::string earlier = "earlier\r\n";
    std::ofstream((folder / "old.txt").string(), std::ios::binary) << earlier;
    const struct {
        const char* count;
        const char* typed;
        const char* file;
        int overwrite; // answer to the question whether to replace, 0: none
        bool saved;
    } kCases[] = {
        {"3", "three", "three.txt", 0, true},      {"0", "empty.txt", "empty.txt", 0, true},
        {"2", "old.txt", "old.txt", IDNO, false},  {"2", "old.txt", "old.txt", IDYES, true},
        {"2", nullptr, "Passwords.txt", 0, false},
    };
    for (const auto& c : kCases) {
        dialog->SetText(IDC_COUNT, c.count);
        dialog->SetText(IDC_STATUS, "");
        dialog->Click(IDC_GENERATE);
        ASSERT_TRUE(dialog->WaitForBatch(std::string(c.count) + " password(s) created."));
        const std::string before = ReadFile(folder / c.file);
        Post(IDC_SAVE_LINK);
        const HWND saveDialog = WaitForBox(false);
        ASSERT_NE(saveDialog, nullptr);
        if (c.typed == nullptr) {
            Answer(saveDialog, IDCANCEL);
        } else {
            SaveAs(saveDialog, (folder / c.typed).string());
        }
        if (c.overwrite != 0) {
            const HWND question = WaitForBox(true);
            ASSERT_NE(question, nullptr);
            Answer(question, c.overwrite);
            if (c.overwrite == IDNO) {
                Answer(WaitForBox(false), IDCANCEL);
            }
        }
        Settle();
        EXPECT_TRUE(Boxes().empty()) << c.file;
        EXPECT_EQ(ReadFile(folder / c.file), c.saved ? ExpectedFile() : before) << c.file;
    }
    // Saves, refusals and cancels leave nothing of their own beside the lists.
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files.insert(entry.path().filename().string());
    }
    EXPECT_EQ(files, (std::set<std::string>{"empty.txt", "old.txt", "three.txt"}));
}

// A file another program holds cannot be replaced: the user hears so, and
// the earlier file stays as it was, with nothing left beside it.
TEST_F(ListCommandsTest, FailedSaveSaysSoAndKeepsTheEarlierFile)
{
    const std::filesystem::path held = folder / "held.txt";
    std::ofstream(held.string(), std::ios::binary) << "earlier\r\n";
    const HANDLE holder = CreateFileA(held.string().c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Post(IDC_SAVE_LINK);
    SaveAs(WaitForBox(false), held.string());
    Answer(WaitForBox(true), IDYES); // replace it
    const HWND report = WaitForBox(true);
    ASSERT_NE(report, nullptr);
    const std::string text = BoxText(report);
    EXPECT_NE(text.find("The password list was not saved."), std::string::npos) << text;
    EXPECT_NE(text.find("could not be replaced"), std::string::npos) << text;
    Answer(report, IDOK);
    CloseHandle(holder);
    EXPECT_EQ(ReadFile(held), "earlier\r\n");
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"held.txt"});
}

std::string ClipboardText()
{
    std::string text = "(none)";
    if (OpenClipboard(nullptr)) {
        if (const HANDLE data = GetClipboardData(CF_TEXT)) {
            text = static_cast<const char*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

// The password goes on the clipboard marked as kept out of history and
// cloud sync; a clipboard another program holds is reported, not ignored.
TEST_F(ListCommandsTest, CopiesThePasswordOnShow)
{
    for (const std::string& shown : {dialog->Text(IDC_CURRENT_PASSWORD), std::string()}) {
        dialog->SetText(IDC_CURRENT_PASSWORD, shown.c_str());
        dialog->Click(IDC_COPY);
        EXPECT_EQ(ClipboardText(), shown);
    }
    for (const char* mark : {"ExcludeClipboardContentFromMonitorProcessing",
                             "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"}) {
        EXPECT_TRUE(IsClipboardFormatAvailable(RegisterClipboardFormatA(mark))) << mark;
    }
    ASSERT_TRUE(OpenClipboard(nullptr));
    const HANDLE history =
        GetClipboardData(RegisterClipboardFormatA("CanIncludeInClipboardHistory"));
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(*static_cast<const DWORD*>(GlobalLock(history)), 0u);
    GlobalUnlock(history);

    dialog->SetText(IDC_CURRENT_PASSWORD, "Held");
    Post(IDC_COPY); // while this thread holds the clipboard open
    const HWND report = WaitForBox(true);
    ASSERT_NE(report, nullptr);
    EXPECT_NE(BoxText(report).find("not copied"), std::string::npos) << BoxText(report);
    Answer(report, IDOK);
    CloseClipboard();
    EXPECT_EQ(ClipboardText(), "");
}

// The selected rows go only after a Yes; the other rows keep their order and
// the password on show stays.
TEST_F(ListCommandsTest, DeletesTheSelectedRowsAfterAsking)
{
    const std::vector<std::string> rows = dialog->Passwords();
    ASSERT_EQ(rows.size(), 5u);
    Post(IDC_DELETE_LINK); // the batch's last row is selected
    const HWND first = WaitForBox(true);
    ASSERT_NE(first, nullptr);
    Answer(first, IDNO);
    dialog->OnDialogThread([&] { List().ResetSelection(); });
    Post(IDC_DELETE_LINK);
    Settle();
    EXPECT_TRUE(Boxes().empty()); // nothing selected: no question
    EXPECT_EQ(dialog->Passwords(), rows);

    dialog->OnDialogThread([&] {
        List().SelectItem(0, -1, 0);
        List().SelectItem(4, -1, kModifierCtrl);
    });
    const std::string shown = dialog->Text(IDC_CURRENT_PASSWORD);
    Post(IDC_DELETE_LINK);
    const HWND question = WaitForBox(true);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(BoxText(question), "Are you sure you want to delete selected passwords from list?");
    char caption[32] = {};
    GetWindowTextA(question, caption, sizeof caption);
    EXPECT_STREQ(caption, "Sorvane");
    Answer(question, IDYES);
    Settle();
    EXPECT_EQ(dialog->Passwords(), std::vector<std::string>(rows.begin() + 1, rows.begin() + 4));
    EXPECT_EQ(dialog->Text(IDC_CURRENT_PASSWORD), shown);
}

// Any program can send or post any message to the dialog. What the system
// alone sends (set-up, destruction) does nothing when another thread sends or
// posts it: the set-up runs once, unsaved changes stay, the links keep their
// subclass; and a command with a link's identifier runs nothing unless the
// link was activated.
TEST_F(ListCommandsTest, SetUpAndDestructionFromElsewhereDoNothing)
{
    const HWND window = dialog->Window();
    const HWND links[] = {GetDlgItem(window, IDC_SAVE_LINK), GetDlgItem(window, IDC_DELETE_LINK)};
    SetWindowPos(window, nullptr, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    dialog->SetText(IDC_LENGTH, "17");
    RECT before{};
    GetWindowRect(window, &before);
    for (const bool posted : {false, true}) {
        // A send that opens a box would wait for it: it gives up instead,
        // and the box shows below.
        const auto deliver = [posted](HWND to, UINT message, WPARAM wParam, LPARAM lParam) {
            DWORD_PTR answer = 0;
            posted ? PostMessageA(to, message, wParam, lParam)
                   : SendMessageTimeoutA(to, message, wParam, lParam, SMTO_NORMAL, 2000, &answer);
        };
        deliver(window, WM_INITDIALOG, 0, 0);
        for (const HWND link : links) {
            deliver(link, WM_DESTROY, 0, 0);
            deliver(link, WM_NCDESTROY, 0, 0);
            // A bare static tells its parent so when it is switched on.
            deliver(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_ENABLE),
                    reinterpret_cast<LPARAM>(link));
            deliver(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
                    reinterpret_cast<LPARAM>(link));
        }
        deliver(GetDlgItem(window, IDC_PASSWORD_LIST), WM_NCDESTROY, 0, 0);
    }
    Settle();
    EXPECT_TRUE(Boxes().empty());
    DismissBoxes();
    RECT after{};
    GetWindowRect(window, &after);
    EXPECT_TRUE(EqualRect(&before, &after)) << "moved to " << after.left << "," << after.top;
    EXPECT_EQ(dialog->Text(IDC_LENGTH), "17");
    int columns = 0;
    dialog->OnDialogThread([&] { columns = List().GetColumnCount(); });
    EXPECT_EQ(columns, 3);

    dialog->Click(IDC_GENERATE); // switches the links off and on again
    ASSERT_TRUE(dialog->WaitForBatch("5 password(s) created."));
    Settle();
    EXPECT_TRUE(Boxes().empty());
    DismissBoxes();
    Post(IDC_SAVE_LINK); // the link's own click still works
    const HWND saveDialog = WaitForBox(false);
    ASSERT_NE(saveDialog, nullptr);
    Answer(saveDialog, IDCANCEL);
}

// The links run their commands only when activated: a batch switching them
// off and on runs none, a double-click runs one, and Enter on a focused link
// activates it instead of closing the dialog.
TEST_F(ListCommandsTest, LinksRunTheirCommandOnlyWhenActivated)
{
    dialog->SetText(IDC_STATUS, "");
    dialog->Click(IDC_GENERATE);
    ASSERT_TRUE(dialog->WaitForBatch("5 password(s) created."));
    Settle();
    EXPECT_TRUE(Boxes().empty());

    const HWND link = GetDlgItem(dialog->Window(), IDC_SAVE_LINK);
    const LPARAM inside = MAKELPARAM(5, 5);
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        PostMessageA(link, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, inside);
    }
    Settle();
    ASSERT_EQ(Boxes().size(), 1u);
    Answer(Boxes().front(), IDCANCEL);
    Settle();
    EXPECT_TRUE(Boxes().empty());

    // Pressed inside and released outside: focused, not activated.
    PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(-5, -5));
    PostMessageA(link, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(link, WM_KEYUP, VK_RETURN, 0xC01C0001);
    const HWND saveDialog = WaitForBox(false);
    ASSERT_NE(saveDialog, nullptr);
    Answer(saveDialog, IDCANCEL);
    EXPECT_TRUE(IsWindowVisible(dialog->Window()));

    // The banner paints itself: the caption's colour at its left edge.
    const HWND banner = GetDlgItem(dialog->Window(), IDC_BANNER);
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 600, 60);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    SendMessageA(banner, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_EQ(GetPixel(dc, 0, 1), GetSysColor(COLOR_ACTIVECAPTION));
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

} // namespace
