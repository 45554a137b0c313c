// What the manifest's settings bring the dialog: it starts at its screen's
// scale (tests/dpi/run-at-144-dpi.sh runs it at 144 DPI), and under the
// UTF-8 code page the ANSI calls it makes take paths in any language.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "batch/exclusion_dictionary.h"
#include "res/resource.h"
#include "tests/app/dialog_runner.h"
#include "toolkit/dpi.h"

namespace {

// A folder of this process's own, named in Cyrillic: "Пароли" (passwords).
const std::filesystem::path kFolder =
    std::filesystem::temp_directory_path() /
    (L"\u041f\u0430\u0440\u043e\u043b\u0438-" + std::to_wstring(GetCurrentProcessId()));
// Set for the copy of this executable that reads its own word file.
constexpr char kCopyVariable[] = "SORVANE_WORD_FILE_COPY";

TEST(ManifestSettings, TheDialogStartsAtItsScreensScale)
{
    ClearSettings();
    DialogRunner dialog("");
    const int dpi = WindowDpi(dialog.Window());
    if (const char* screen = std::getenv("SORVANE_TEST_DPI")) {
        ASSERT_EQ(dpi, std::atoi(screen)) << "the screen is at another scale";
    }
    int rowIcon = 0;
    int rowIconHeight = 0;
    int passwordColumn = 0;
    dialog.OnDialogThread([&] {
        PasswordListControl& list = dialog.Object().List();
        ImageList_GetIconSize(list.ImageList(), &rowIcon, &rowIconHeight);
        passwordColumn = list.Model().GetColumnWidth(0);
    });
    EXPECT_EQ(rowIcon, ScaleForDpi(16, dpi));
    EXPECT_EQ(passwordColumn, ScaleForDpi(100, dpi));
    EXPECT_EQ(dialog.Close(WM_COMMAND, IDOK), 1);
}

// Saves a batch of four through the real save dialog under the given name and
// answers what the file should hold.
std::string SaveBatchThroughTheDialog(const std::filesystem::path& file)
{
    ClearSettings();
    StoreNumber("Count", 4);
    std::string expected = "Password\tEntropy\tPhonetics\r\n\r\n";
    DialogRunner dialog("");
    EXPECT_TRUE(dialog.WaitForBatch("4 password(s) created."));
    dialog.OnDialogThread([&] {
        const ListModel& list = dialog.Object().List().Model();
        for (int row = 0; row < list.GetItemCount(); ++row) {
            expected += list.GetItemText(row, 0) + "\t" + list.GetItemText(row, 1) + "\t" +
                        list.GetItemText(row, 2) + "\r\n";
        }
    });
    // The save link's click; the dialog runs a link's command for nothing else.
    const HWND link = GetDlgItem(dialog.Window(), IDC_SAVE_LINK);
    PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    // The save dialog opens with its file-name box focused; a box the
    // dialog shows instead of saving becomes the active window.
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const auto active = [&] {
        return GetGUIThreadInfo(dialog.ThreadId(), &info) ? info.hwndActive : nullptr;
    };
    EXPECT_TRUE(DialogRunner::WaitUntil(
        [&] { return active() != dialog.Window() && IsChild(info.hwndActive, info.hwndFocus); }));
    SetWindowTextW(info.hwndFocus, file.c_str());
    PostMessageA(info.hwndActive, WM_COMMAND, IDOK, 0);
    if (!DialogRunner::WaitUntil([&] { return std::filesystem::exists(file); }, 10000)) {
        char text[512] = {};
        GetDlgItemTextA(active(), 0xFFFF, text, sizeof text);
        ADD_FAILURE() << "not saved: " << text;
        PostMessageA(active(), WM_COMMAND, IDOK, 0);
    }
    EXPECT_EQ(dialog.Close(WM_COMMAND, IDOK), 1);
    ClearSettings();
    return expected;
}

// The longest start of the text that UTF-8 spells in at most this many bytes.
std::wstring Utf8Start(const std::wstring& text, std::size_t bytes)
{
    std::size_t used = 0;
    std::size_t length = 0;
    for (; length < text.size(); ++length) {
        const wchar_t c = text[length];
        const std::size_t size = c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (used + size > bytes) {
            break;
        }
        used += size;
    }
    return text.substr(0, length);
}

std::string Contents(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

// Under the UTF-8 code page a long Cyrillic folder name takes more bytes than
// an ANSI call hands back: the system cuts such a name off inside the folder's
// name, where an unrelated file may lie. The save touches only its own file.
TEST(ManifestSettings, SavesIntoCyrillicFoldersTouchingNothingElse)
{
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the manifest's code page is not in force";
    std::wstring password; // "Пароль" twenty times
    for (int i = 0; i < 20; ++i) {
        password += L"\u041f\u0430\u0440\u043e\u043b\u044c";
    }
    const std::filesystem::path root = L"C:\\t-" + std::to_wstring(GetCurrentProcessId());
    const std::filesystem::path deep = root / password / std::wstring(100, L'\u0416'); // "Ж"
    // Where a cut after 260 bytes of UTF-8 ends: "C:\t-N\Пароль...\ЖЖЖЖЖЖЖ".
    const std::filesystem::path decoy = Utf8Start((deep / L"").wstring(), 260);
    std::filesystem::create_directories(deep);
    const struct {
        std::filesystem::path folder;
        std::filesystem::path file;
    } kCases[] = {
        {kFolder, kFolder / L"\u0441\u043f\u0438\u0441\u043e\u043a.txt"}, // "список"
        {deep, deep / L"Passwords.txt"},
    };
    for (const auto& c : kCases) {
        std::filesystem::create_directories(c.folder);
        std::ofstream(decoy, std::ios::binary) << "someone else's file\r\n";
        ASSERT_TRUE(std::filesystem::exists(decoy));
        EXPECT_EQ(Contents(c.file), ""); // nothing there yet
        const std::string expected = SaveBatchThroughTheDialog(c.file);
        EXPECT_EQ(Contents(c.file), expected);
        EXPECT_EQ(Contents(decoy), "someone else's file\r\n");
        // The save's own file is gone again: the folder holds the list alone.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(c.folder), {}), 1);
    }
    // The save dialog made the folder the current one.
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(kFolder);
    std::filesystem::remove_all(root);
}

// A copy of this executable in a folder named in Cyrillic runs this test
// again, and finds the word file beside itself the way the program does.
TEST(ManifestSettings, ReadsTheWordFileBesideAnExecutableInACyrillicFolder)
{
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the manifest's code page is not in force";
    if (GetEnvironmentVariableA(kCopyVariable, nullptr, 0) != 0) {
        ExclusionDictionary words;
        EXPECT_EQ(words.LoadDictionary(MainDialog::DefaultDictionaryPath(), nullptr), 3);
        EXPECT_TRUE(words.Contains("gamma"));
        return;
    }
    std::filesystem::create_directories(kFolder);
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    const std::filesystem::path copy = kFolder / L"app_tests.exe";
    std::filesystem::copy_file(self, copy);
    std::ofstream(kFolder / L"dictionary.txt", std::ios::binary) << "alpha\r\nbeta\r\ngamma\r\n";
    std::wstring command = L"\"" + copy.wstring() + L"\" --gtest_filter=" +
                           L"ManifestSettings.ReadsTheWordFileBesideAnExecutableInACyrillicFolder";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    SetEnvironmentVariableA(kCopyVariable, "1");
    const bool started = CreateProcessW(copy.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableA(kCopyVariable, nullptr);
    ASSERT_TRUE(started) << GetLastError();
    DWORD exitCode = 1;
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u) << "the copy could not read its word file";
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::filesystem::remove_all(kFolder);
}

} // namespace
