#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <regex>
#include <set>

#include "res/resource.h"
#include "tests/app/dialog_runner.h"
#include "toolkit/dpi.h"
#include "toolkit/module.h"

namespace {

class ProgramEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        programModule.Init(GetModuleHandleA(nullptr));
    }
    void TearDown() override { programModule.Term(); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new ProgramEnvironment);

constexpr int kOptionControls[] = {IDC_LOWER_CASE,
                                   IDC_UPPER_CASE,
                                   IDC_MIX_CASE,
                                   IDC_ONLY_NUMBERS,
                                   IDC_HEX_DIGITS,
                                   IDC_ONLY_LETTERS,
                                   IDC_LETTERS_AND_NUMBERS,
                                   IDC_EXCLUDE_SIMILAR,
                                   IDC_EXCLUDE_DUPLICATE,
                                   IDC_LENGTH_SPIN,
                                   IDC_COUNT_SPIN,
                                   IDC_GENERATE,
                                   IDC_PASSWORD_LIST,
                                   IDC_COPY,
                                   IDC_DELETE_LINK,
                                   IDC_SAVE_LINK};

class MainDialogTest : public ::testing::Test {
protected:
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("sorvane-dialog-" + std::to_string(GetCurrentProcessId()));
    std::string dictionary = (folder / "dictionary.txt").string();

    void SetUp() override
    {
        ClearSettings();
        std::filesystem::create_directories(folder);
        std::filesystem::remove(dictionary);
    }
    void TearDown() override
    {
        std::filesystem::remove_all(folder);
        ClearSettings();
    }

    void WriteDictionary(const std::vector<std::string>& words) const
    {
        std::ofstream file(dictionary, std::ios::binary);
        for (const auto& word : words) {
            file << word << "\r\n";
        }
    }
};

TEST_F(MainDialogTest, FirstStartMakesTenPasswordsWithTheDefaults)
{
    DialogRunner dialog(dictionary);
    ASSERT_NE(dialog.Window(), nullptr);
    ASSERT_TRUE(dialog.WaitForBatch("10 password(s) created."));

    EXPECT_EQ(dialog.Text(IDC_LENGTH), "10");
    EXPECT_EQ(dialog.Text(IDC_COUNT), "10");
    EXPECT_TRUE(dialog.Checked(IDC_EXCLUDE_SIMILAR));
    EXPECT_TRUE(dialog.Checked(IDC_EXCLUDE_DUPLICATE));
    EXPECT_TRUE(dialog.Checked(IDC_LETTERS_AND_NUMBERS));
    EXPECT_TRUE(dialog.Checked(IDC_MIX_CASE));
    EXPECT_EQ(dialog.Text(IDC_VERSION), "v1.0.0.6");

    const auto passwords = dialog.Passwords();
    ASSERT_EQ(passwords.size(), 10u);
    EXPECT_EQ(std::set<std::string>(passwords.begin(), passwords.end()).size(), 10u);
    for (const auto& password : passwords) {
        EXPECT_TRUE(std::regex_match(password, std::regex("[2-9a-hkmnp-zA-HJ-NP-Z]{10}")))
            << password;
    }
    // The newest row is the one on show, and the labels hold the range.
    EXPECT_EQ(dialog.Text(IDC_CURRENT_PASSWORD), passwords.back());
    EXPECT_FALSE(dialog.Text(IDC_PHONETICS).empty());
    EXPECT_TRUE(std::regex_match(dialog.Text(IDC_MAX_ENTROPY), std::regex("[0-9]+ Bit")));
    EXPECT_TRUE(std::regex_match(dialog.Text(IDC_MIN_ENTROPY), std::regex("[0-9]+ Bit")));

    EXPECT_EQ(dialog.Close(WM_COMMAND, IDOK), 1);
    const struct {
        const char* name;
        DWORD value;
    } kSaved[] = {{"PasswordLen", 10},     {"Count", 10}, {"ExcludeSimilar", 1},
                  {"ExcludeDuplicate", 1}, {"Type", 3},   {"Case", 2}};
    for (const auto& saved : kSaved) {
        EXPECT_EQ(StoredNumber(saved.name), saved.value) << saved.name;
    }
}

TEST_F(MainDialogTest, LoadsStoredValuesIntoTheControls)
{
    const unsigned char twoBytes[2] = {12, 0};
    const unsigned char eightBytes[8] = {20, 0, 0, 0, 0, 0, 0, 0};
    const struct {
        std::function<void()> store;
        int id;
        std::string text; // expected text, or "" to check the radio or box
        bool checked;
    } kCases[] = {
        {[] { StoreNumber("Type", 7); }, IDC_LETTERS_AND_NUMBERS, "", true},
        {[] { StoreNumber("Type", static_cast<DWORD>(-1)); }, IDC_LETTERS_AND_NUMBERS, "", true},
        {[] { StoreNumber("Type", 0); }, IDC_ONLY_NUMBERS, "", true},
        {[] { StoreNumber("Type", 2); }, IDC_ONLY_LETTERS, "", true},
        {[] { StoreNumber("Case", 5); }, IDC_MIX_CASE, "", true},
        {[] { StoreNumber("Case", 0); }, IDC_LOWER_CASE, "", true},
        {[] { StoreNumber("ExcludeSimilar", 0); }, IDC_EXCLUDE_SIMILAR, "", false},
        {[] { StoreNumber("ExcludeDuplicate", 0); }, IDC_EXCLUDE_DUPLICATE, "", false},
        {[&] { StoreRaw("Count", REG_BINARY, twoBytes, 2); }, IDC_COUNT, "12", false},
        {[&] { StoreRaw("PasswordLen", REG_BINARY, eightBytes, 8); }, IDC_LENGTH, "10", false},
        {[] { StoreNumber("PasswordLen", 200); }, IDC_LENGTH, "64", false},
        {[] { StoreNumber("PasswordLen", 1); }, IDC_LENGTH, "3", false},
        {[] { StoreNumber("Count", 0); }, IDC_COUNT, "1", false},
        {[] { StoreNumber("Count", 1000); }, IDC_COUNT, "300", false},
    };
    for (const auto& c : kCases) {
        ClearSettings();
        StoreNumber("Count", 1); // keep each start's batch short
        c.store();
        DialogRunner dialog(dictionary);
        if (c.text.empty()) {
            EXPECT_EQ(dialog.Checked(c.id), c.checked) << c.id;
        } else {
            EXPECT_EQ(dialog.Text(c.id), c.text) << c.id;
        }
        // Exactly one radio of each group is checked.
        int types = 0;
        for (const int id :
             {IDC_ONLY_NUMBERS, IDC_HEX_DIGITS, IDC_ONLY_LETTERS, IDC_LETTERS_AND_NUMBERS}) {
            types += dialog.Checked(id);
        }
        int cases = 0;
        for (const int id : {IDC_LOWER_CASE, IDC_UPPER_CASE, IDC_MIX_CASE}) {
            cases += dialog.Checked(id);
        }
        EXPECT_EQ(types, 1);
        EXPECT_EQ(cases, 1);
        EXPECT_EQ(dialog.Close(WM_COMMAND, IDCANCEL), 2);
    }
}

TEST_F(MainDialogTest, SavedChoicesComeBackAtTheNextStart)
{
    StoreNumber("Count", 1);
    {
        DialogRunner dialog(dictionary);
        ASSERT_TRUE(dialog.WaitForBatch("1 password(s) created."));
        dialog.Click(IDC_HEX_DIGITS);
        dialog.Click(IDC_UPPER_CASE);
        dialog.Click(IDC_EXCLUDE_SIMILAR);
        EXPECT_EQ(dialog.Close(WM_CLOSE, 0), 2); // the title bar's close box
    }
    EXPECT_EQ(StoredNumber("Type"), 1u);
    EXPECT_EQ(StoredNumber("Case"), 1u);
    EXPECT_EQ(StoredNumber("ExcludeSimilar"), 0u);

    DialogRunner dialog(dictionary);
    ASSERT_TRUE(dialog.WaitForBatch("1 password(s) created."));
    EXPECT_TRUE(dialog.Checked(IDC_HEX_DIGITS));
    EXPECT_TRUE(dialog.Checked(IDC_UPPER_CASE));
    EXPECT_FALSE(dialog.Checked(IDC_EXCLUDE_SIMILAR));
    EXPECT_TRUE(std::regex_match(dialog.Passwords().front(), std::regex("[0-9A-F]{10}")));
    EXPECT_EQ(dialog.Close(WM_COMMAND, IDOK), 1);
}

TEST_F(MainDialogTest, ControlsRestWhileABatchRuns)
{
    StoreNumber("Count", 300);
    StoreNumber("Type", 0); // only numbers: the case radios stay off throughout
    BatchHold hold(BatchHold::At::Row, 150);
    DialogRunner dialog(dictionary, nullptr, &hold);
    ASSERT_TRUE(hold.WaitUntilHeld());
    EXPECT_EQ(dialog.Text(IDC_STATUS), "Generating passwords...");
    for (const int id : kOptionControls) {
        EXPECT_FALSE(dialog.Enabled(id)) << id;
    }
    EXPECT_TRUE(dialog.Enabled(IDOK));
    hold.Release();
    ASSERT_TRUE(dialog.WaitForBatch("300 password(s) created."));
    for (const int id : kOptionControls) {
        const bool caseRadio = id == IDC_LOWER_CASE || id == IDC_UPPER_CASE || id == IDC_MIX_CASE;
        EXPECT_EQ(dialog.Enabled(id), !caseRadio) << id;
    }
    EXPECT_EQ(dialog.Passwords().size(), 300u);
    // The newest row ends in view once the batch has stopped adding rows.
    const HWND list = GetDlgItem(dialog.Window(), IDC_PASSWORD_LIST);
    const auto lastRowVisible = [&] {
        bool visible = false;
        dialog.OnDialogThread([&] {
            const ListLook& look = dialog.Object().List().Look();
            RECT client{};
            GetClientRect(list, &client);
            const int bottom =
                look.headerHeight + 300 * look.rowHeight - GetScrollPos(list, SB_VERT);
            visible = look.rowHeight > 0 && bottom <= client.bottom &&
                      bottom - look.rowHeight >= look.headerHeight;
        });
        return visible;
    };
    EXPECT_TRUE(DialogRunner::WaitUntil(lastRowVisible, 5000));

    dialog.Click(IDC_HEX_DIGITS);
    EXPECT_TRUE(dialog.Enabled(IDC_UPPER_CASE));
    dialog.Click(IDC_ONLY_NUMBERS);
    EXPECT_FALSE(dialog.Enabled(IDC_UPPER_CASE));
    EXPECT_TRUE(dialog.Checked(IDC_MIX_CASE)); // the choice itself is kept
    EXPECT_EQ(dialog.Close(WM_COMMAND, IDOK), 1);
}

LRESULT CALLBACK AnswerReflected(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR)
{
    if (message == WM_NOTIFY + 0x2000) {
        return 1234;
    }
    if (message == WM_CTLCOLORSTATIC + 0x2000) {
        return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// Children hear their own notifications back; what they answer is the
// dialog's answer, and a colour request they leave alone gets the dialog's.
TEST_F(MainDialogTest, ReflectsNotificationsToTheirChildren)
{
    StoreNumber("Count", 1);
    DialogRunner dialog(dictionary);
    ASSERT_TRUE(dialog.WaitForBatch("1 password(s) created."));
    const HWND label = GetDlgItem(dialog.Window(), IDC_VERSION);
    const HWND status = GetDlgItem(dialog.Window(), IDC_STATUS);
    dialog.OnDialogThread([&] { SetWindowSubclass(label, AnswerReflected, 1, 0); });

    NMHDR header{label, IDC_VERSION, 7};
    EXPECT_EQ(
        SendMessageA(dialog.Window(), WM_NOTIFY, IDC_VERSION, reinterpret_cast<LPARAM>(&header)),
        1234);
    const HDC dc = GetDC(dialog.Window());
    EXPECT_EQ(SendMessageA(dialog.Window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(label)),
              reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH)));
    const LRESULT plain =
        SendMessageA(dialog.Window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(status));
    EXPECT_NE(plain, 0);
    EXPECT_NE(plain, reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(dialog.Window(), dc);
    dialog.OnDialogThread([&] { RemoveWindowSubclass(label, AnswerReflected, 1); });
    EXPECT_EQ(dialog.Close(WM_COMMAND, IDOK), 1);
}

std::set<HWND> colourChanges; // the controls that heard of a colour change

LRESULT CALLBACK RecordColourChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR)
{
    if (message == WM_SYSCOLORCHANGE) {
        colourChanges.insert(window);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// Windows tells only top-level windows that the system's colours changed: the
// dialog passes it on, and the rows already listed take the new colours.
TEST_F(MainDialogTest, PassesColourChangesToItsControls)
{
    StoreNumber("Count", 3);
    DialogRunner dialog(dictionary);
    ASSERT_TRUE(dialog.WaitForBatch("3 password(s) created."));
    const HWND list = GetDlgItem(dialog.Window(), IDC_PASSWORD_LIST);
    const int kElements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT};
    const COLORREF saved[] = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
    const COLORREF dark[] = {RGB(32, 32, 32), RGB(240, 240, 240)};
    const HWND others[] = {GetDlgItem(dialog.Window(), IDC_BANNER),
                           GetDlgItem(dialog.Window(), IDC_SAVE_LINK)};
    dialog.OnDialogThread([&] {
        for (const HWND other : others) {
            SetWindowSubclass(other, RecordColourChange, 1, 0);
        }
    });
    ASSERT_TRUE(SetSysColors(2, kElements, dark));
    // As Windows sends it, whether or not this system has already.
    SendMessageA(dialog.Window(), WM_SYSCOLORCHANGE, 0, 0);

    POINT beside{}; // right of the first row's entropy text; that row is not selected
    dialog.OnDialogThread([&] {
        const ListModel& model = dialog.Object().List().Model();
        const ListLook& look = dialog.Object().List().Look();
        beside = {model.GetColumnWidth(0) + model.GetColumnWidth(1) - 4,
                  look.headerHeight + look.rowHeight / 2};
    });
    RECT client{};
    GetClientRect(list, &client);
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_EQ(GetPixel(dc, beside.x, beside.y), dark[0]);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    for (const HWND other : others) {
        EXPECT_EQ(colourChanges.count(other), 1u) << GetDlgCtrlID(other);
    }
    dialog.OnDialogThread([&] {
        for (const HWND other : others) {
            RemoveWindowSubclass(other, RecordColourChange, 1);
        }
    });

    SetSysColors(2, kElements, saved);
    SendMessageA(dialog.Window(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(dialog.Close(WM_COMMAND, IDOK), 1);
}

// Any program of the user can send the dialog its private call message, and
// post any message to any of its windows, with any number in it: the dialog
// follows only the call its worker waits on, and takes no pointer from a
// posted message that only the system or its own controls ever send.
TEST_F(MainDialogTest, IgnoresMessagesItDidNotAskFor)
{
    StoreNumber("Count", 1);
    DialogRunner dialog(dictionary);
    ASSERT_TRUE(dialog.WaitForBatch("1 password(s) created."));
    const UINT call = RegisterWindowMessageA("Tavolin.Sorvane.DialogCall");
    ASSERT_NE(call, 0u);
    for (const LPARAM bogus : {LPARAM{0}, LPARAM{0x1234}, LPARAM{-8}}) {
        EXPECT_EQ(SendMessageA(dialog.Window(), call, 0, bogus), 0);
    }
    const HWND list = GetDlgItem(dialog.Window(), IDC_PASSWORD_LIST);
    const struct {
        HWND window;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool refusable; // the system may refuse to post a message of pointers
    } kPosted[] = {
        {dialog.Window(), WM_NOTIFY, 0, 0, false},
        {dialog.Window(), WM_NOTIFY, IDC_PASSWORD_LIST, 0x1234, false},
        {dialog.Window(), WM_DRAWITEM, IDC_PASSWORD_LIST, 0x1234, true},
        {dialog.Window(), WM_DPICHANGED, MAKEWPARAM(144, 144), 0x1234, false},
        {list, WM_NOTIFY, 0, 0x1234, false},
        {list, WM_DPICHANGED, MAKEWPARAM(0xFFFF, 0xFFFF), 0, false},
    };
    for (const auto& posted : kPosted) {
        const bool sent = PostMessageA(posted.window, posted.message, posted.wParam, posted.lParam);
        EXPECT_TRUE(sent || posted.refusable) << posted.message;
    }
    dialog.SetText(IDC_STATUS, "");
    dialog.Click(IDC_GENERATE);
    ASSERT_TRUE(dialog.WaitForBatch("1 password(s) created."));
    EXPECT_EQ(dialog.RowCount(), 1);
    EXPECT_EQ(dialog.Close(WM_COMMAND, IDOK), 1);
}

std::mutex positionsLock;
std::vector<int> positions;

LRESULT CALLBACK RecordProgress(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == PBM_SETPOS &&
        GetDlgCtrlID(call->hwnd) == IDC_PROGRESS) {
        std::lock_guard<std::mutex> guard(positionsLock);
        positions.push_back(static_cast<int>(call->wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<int> TakePositions()
{
    std::lock_guard<std::mutex> guard(positionsLock);
    return std::exchange(positions, {});
}

TEST_F(MainDialogTest, ProgressMovesInWholePercentages)
{
    StoreNumber("Count", 1);
    std::vector<std::string> words;
    for (int i = 0; i < 200000; ++i) {
        words.push_back("word" + std::to_string(i));
    }
    WriteDictionary(words);
    HHOOK hook = nullptr;
    TakePositions();
    // Held half-way until the bar has shown a position of the load, so a
    // load that outruns the dialog's thread still shows one.
    BatchHold hold(BatchHold::At::Load, 50);
    DialogRunner dialog(
        dictionary,
        [&] {
            hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordProgress, nullptr, GetCurrentThreadId());
        },
        &hold);
    ASSERT_TRUE(hold.WaitUntilHeld());
    const bool shown = DialogRunner::WaitUntil([] {
        std::lock_guard<std::mutex> guard(positionsLock);
        return !positions.empty();
    });
    hold.Release();
    ASSERT_TRUE(shown) << "no position of the load was shown";
    ASSERT_TRUE(dialog.WaitForBatch("1 password(s) created."));
    // The load's positions only grow, and none arrives after the batch's own.
    std::vector<int> seen = TakePositions();
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(std::vector<int>(seen.end() - 2, seen.end()), (std::vector<int>{0, 100}));
    seen.resize(seen.size() - 2);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_LE(seen.back(), 100);

    const struct {
        const char* count;
        const char* status;
        std::vector<int> expected;
    } kCases[] = {
        {"3", "3 password(s) created.", {0, 33, 66, 100}},
        {"4", "4 password(s) created.", {0, 25, 50, 75, 100}},
        // A count the arrows could never show still ends cleanly.
        {"0", "0 password(s) created.", {100}},
        {"abc", "0 password(s) created.", {100}},
    };
    for (const auto& c : kCases) {
        dialog.SetText(IDC_COUNT, c.count);
        dialog.SetText(IDC_STATUS, "");
        dialog.Click(IDC_GENERATE);
        ASSERT_TRUE(dialog.WaitForBatch(c.status)) << c.count;
        EXPECT_EQ(TakePositions(), c.expected) << c.count;
        EXPECT_EQ(dialog.Passwords().size(), static_cast<std::size_t>(c.expected.size() - 1));
    }
    dialog.Close(WM_COMMAND, IDOK);
    UnhookWindowsHookEx(hook);
}

// Every password "Only numbers", length 3 and both exclusions allow.
std::vector<std::string> EveryThreeDigitPassword()
{
    std::vector<std::string> all;
    for (char a = '2'; a <= '9'; ++a) {
        for (char b = '2'; b <= '9'; ++b) {
            for (char c = '2'; c <= '9'; ++c) {
                if (a != b && b != c && a != c) {
                    all.push_back({a, b, c});
                }
            }
        }
    }
    return all;
}

TEST_F(MainDialogTest, ReadsTheDictionaryOncePerDialog)
{
    StoreNumber("Count", 5);
    StoreNumber("PasswordLen", 3);
    StoreNumber("Type", 0);
    {
        DialogRunner dialog(dictionary);
        ASSERT_TRUE(dialog.WaitForBatch("5 password(s) created."));
        // Appears after the first batch: this dialog never reads it.
        WriteDictionary(EveryThreeDigitPassword());
        dialog.SetText(IDC_STATUS, "");
        dialog.Click(IDC_GENERATE);
        ASSERT_TRUE(dialog.WaitForBatch("5 password(s) created."));
        EXPECT_EQ(dialog.Close(WM_COMMAND, IDOK), 1);
    }
    DialogRunner dialog(dictionary);
    ASSERT_TRUE(
        dialog.WaitForBatch("0 password(s) created; no other password fits these options."));
    EXPECT_TRUE(dialog.Passwords().empty());
    EXPECT_TRUE(dialog.Enabled(IDC_GENERATE));
    EXPECT_EQ(SendDlgItemMessageA(dialog.Window(), IDC_PROGRESS, PBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(dialog.Close(WM_COMMAND, IDCANCEL), 2);
}

// Four small letters without look-alikes or repeats: 22 x 21 x 20 x 19 =
// 175560 passwords. With a word list of all of them but one, every batch
// makes exactly that one and then says that no other fits, however rarely it
// is drawn; with all of them, none.
TEST_F(MainDialogTest, FindsTheOnePasswordTheWordListLeaves)
{
    StoreNumber("Count", 5);
    StoreNumber("PasswordLen", 4);
    StoreNumber("Type", 2);
    StoreNumber("Case", 0);
    const std::string letters = "abcdefghkmnpqrstuvwxyz";
    std::vector<std::string> all;
    for (const char a : letters) {
        for (const char b : letters) {
            for (const char c : letters) {
                for (const char d : letters) {
                    if (a != b && a != c && a != d && b != c && b != d && c != d) {
                        all.push_back({a, b, c, d});
                    }
                }
            }
        }
    }
    ASSERT_EQ(all.size(), 175560u);
    const std::string left = all[98765];
    all.erase(all.begin() + 98765);
    WriteDictionary(all);
    {
        DialogRunner dialog(dictionary);
        for (int batch = 0; batch < 3; ++batch) {
            if (batch > 0) {
                dialog.SetText(IDC_STATUS, "");
                dialog.Click(IDC_GENERATE);
            }
            ASSERT_TRUE(dialog.WaitForBatch(
                "1 password(s) created; no other password fits these options."));
            EXPECT_EQ(dialog.Passwords(), std::vector<std::string>{left});
        }
        EXPECT_EQ(dialog.Close(WM_COMMAND, IDOK), 1);
    }
    all.push_back(left);
    WriteDictionary(all);
    DialogRunner dialog(dictionary);
    ASSERT_TRUE(
        dialog.WaitForBatch("0 password(s) created; no other password fits these options."));
    EXPECT_TRUE(dialog.Passwords().empty());
    EXPECT_EQ(dialog.Close(WM_COMMAND, IDOK), 1);
}

TEST_F(MainDialogTest, ClosesAtAnyMomentWithoutHanging)
{
    {
        std::ofstream file(dictionary, std::ios::binary);
        for (int i = 0; i < 200000; ++i) {
            file << "word" << i << "\r\n";
        }
    }
    const std::string noWords = (folder / "none.txt").string();
    StoreNumber("Count", 300);
    const struct {
        UINT message;
        WPARAM wParam;
        INT_PTR result;
    } kCloses[] = {{WM_COMMAND, IDOK, 1}, {WM_COMMAND, IDCANCEL, 2}, {WM_CLOSE, 0, 2}};
    for (int i = 0; i < 30; ++i) {
        // Even closes land while the word file is read, odd ones while the
        // list fills, each at a point of its own, held there until the close
        // has stopped the run.
        const bool loading = i % 2 == 0;
        BatchHold hold(loading ? BatchHold::At::Load : BatchHold::At::Row,
                       loading ? 1 + (i * 7) % 99 : 1 + (i * 37) % 150);
        DialogRunner dialog(loading ? dictionary : noWords, nullptr, &hold);
        ASSERT_NE(dialog.Window(), nullptr) << "open " << i;
        ASSERT_TRUE(hold.WaitUntilHeld()) << "close " << i << " never reached its point";
        const auto& close = kCloses[i % 3];
        PostMessageA(dialog.Window(), close.message, close.wParam, 0);
        const bool stopped =
            DialogRunner::WaitUntil([&] { return !dialog.Object().IsRunning(); }, 60000);
        hold.Release();
        ASSERT_TRUE(stopped) << "close " << i << " did not stop the run";
        const auto result = dialog.WaitForEnd();
        ASSERT_TRUE(result.has_value()) << "close " << i << " hung";
        EXPECT_EQ(*result, close.result);
    }
}

} // namespace
