// The dialog template linked into this test executable is the one sorvane.exe
// carries. The dialog is created from its real template and compared, control
// by control, with the layout the program's code and users rely on.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

HINSTANCE Module()
{
    return GetModuleHandleA(nullptr);
}

// ---------------------------------------------------------------------------
// The expected template, in creation order. Rectangles are in dialog units.
// `style` is the control's style exactly as the template gives it; `text`
// null means the text is set by the program, not by the template.

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;
    RECT units; // left, top, width, height
    DWORD style;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kSpin =
    kChild | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
constexpr DWORD kNumberEdit =
    kChild | WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_READONLY | ES_AUTOHSCROLL;
constexpr DWORD kRadio = kChild | BS_AUTORADIOBUTTON;
constexpr DWORD kLabel = kChild | WS_GROUP | SS_LEFT;
constexpr DWORD kGroupBox = kChild | BS_GROUPBOX;

const ExpectedControl kControls[] = {
    {1023, "Static", nullptr, {0, 0, 367, 30}, kLabel},
    {-1, "Button", "Current Password", {7, 31, 208, 82}, kGroupBox},
    {1000,
     "Edit",
     "",
     {13, 42, 141, 13},
     kChild | WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL},
    {1021, "Button", "Copy", {158, 42, 50, 14}, kChild | WS_TABSTOP | BS_PUSHBUTTON},
    {-1, "Static", "Phonetics", {13, 57, 141, 8}, kLabel},
    {1018,
     "Edit",
     "",
     {13, 68, 195, 39},
     kChild | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY},
    {-1, "Button", "Passwords", {7, 113, 208, 157}, kGroupBox},
    {1026, "ListCtrl", "ListCtrl", {12, 125, 198, 121}, kChild | WS_TABSTOP},
    {1029, "Static", "Save passwords list to file...", {13, 248, 100, 8}, kLabel},
    {1030, "Static", "Delete selected password", {13, 257, 101, 8}, kLabel},
    {-1, "Static", "", {117, 250, 1, 16}, kChild | SS_ETCHEDVERT},
    {-1, "Static", "Max entropy:", {121, 248, 42, 8}, kLabel},
    {-1, "Static", "Min entropy:", {121, 257, 40, 8}, kLabel},
    {1032, "Static", "0 Bit", {167, 248, 42, 8}, kLabel},
    {1033, "Static", "0 Bit", {167, 257, 41, 8}, kLabel},
    {-1, "Button", "Password options", {218, 31, 143, 162}, kGroupBox},
    {-1, "Static", "Password length", {224, 42, 58, 10}, kLabel},
    {1012, "Edit", nullptr, {224, 53, 74, 13}, kNumberEdit},
    {1013, "msctls_updown32", nullptr, {286, 53, 11, 14}, kSpin},
    {1014, "Button", "Only numbers", {224, 71, 80, 9}, kRadio},
    {1015, "Button", "Hex decimail", {224, 82, 80, 9}, kRadio},
    {1016, "Button", "Only letters", {224, 93, 80, 9}, kRadio},
    {1017, "Button", "Mix letters and numbers", {224, 104, 87, 9}, kRadio},
    {1020, "Static", "v1.0.0.7", {13, 271, 40, 8}, kLabel},
    {-1, "Static", "", {224, 117, 126, 1}, kChild | SS_ETCHEDHORZ},
    {1006, "Button", "Lower case", {224, 122, 60, 9}, kRadio},
    {1007, "Button", "Upper case", {224, 134, 60, 8}, kRadio},
    {1008, "Button", "Mix case", {224, 145, 60, 9}, kRadio},
    {-1, "Static", "", {224, 160, 125, 1}, kChild | SS_ETCHEDHORZ},
    {1005,
     "Button",
     "Exclude similar characters (l,I, 0,O...)",
     {224, 165, 127, 9},
     kChild | WS_TABSTOP | BS_AUTOCHECKBOX},
    {1011,
     "Button",
     "Exclude duplicate sequensing",
     {224, 178, 127, 11},
     kChild | WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE},
    {-1, "Static", "Passwords number", {224, 204, 64, 8}, kLabel},
    {1022, "Edit", nullptr, {224, 214, 74, 13}, kNumberEdit},
    {1025, "msctls_updown32", nullptr, {264, 222, 11, 14}, kSpin},
    {1001,
     "Button",
     "Generate!",
     {302, 213, 50, 14},
     kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE},
    {1031, "Static", "Loading exclude dictionary...", {225, 236, 129, 11}, kLabel | SS_SUNKEN},
    {1028, "msctls_progress32", "", {225, 250, 130, 12}, kChild | WS_BORDER},
    {1, "Button", "Close", {302, 274, 50, 14}, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {-1, "Button", "Generation", {217, 193, 144, 76}, kGroupBox},
    {1019, "Static", "www.tavolin.example", {13, 280, 91, 8}, kLabel},
};

std::string WindowText(HWND window)
{
    char buffer[512] = {};
    GetWindowTextA(window, buffer, static_cast<int>(sizeof buffer));
    return buffer;
}

// ---------------------------------------------------------------------------
// The template resource itself, read as the dialog manager reads it. Live
// controls rewrite some of their styles, so the exact styles are checked here.

struct TemplateItem {
    DWORD style = 0, exStyle = 0;
    RECT units{};
    DWORD id = 0;
    std::string className, text;
};

struct DialogTemplate {
    DWORD style = 0, exStyle = 0;
    RECT units{};
    std::string menu, className, caption, face;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::vector<TemplateItem> items;
};

class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : bytes(data), length(size) {}

    bool Good() const { return good; }

    WORD Word() { return Read<WORD>(); }
    DWORD Dword() { return Read<DWORD>(); }
    BYTE Byte() { return Read<BYTE>(); }
    short Short() { return Read<short>(); }

    // A zero-terminated UTF-16 string of ASCII text.
    std::string String()
    {
        std::string text;
        for (WORD c = Word(); good && c != 0; c = Word())
            text += static_cast<char>(c < 0x80 ? c : '?');
        return text;
    }

    // A string, or 0xFFFF and an ordinal (written as "#n"), or nothing (0).
    std::string StringOrOrdinal()
    {
        if (!good || offset + 2 > length) {
            good = false;
            return {};
        }
        WORD first = 0;
        std::memcpy(&first, bytes + offset, 2);
        if (first == 0xFFFF) {
            offset += 2;
            return "#" + std::to_string(Word());
        }
        return String();
    }

    void AlignDword() { offset = (offset + 3) & ~size_t{3}; }
    void Skip(size_t count) { offset += count; }

private:
    template <typename T>
    T Read()
    {
        T value{};
        if (offset + sizeof(T) > length) {
            good = false;
            return value;
        }
        std::memcpy(&value, bytes + offset, sizeof(T));
        offset += sizeof(T);
        return value;
    }

    const BYTE* bytes;
    size_t length;
    size_t offset = 0;
    bool good = true;
};

// Reads an extended dialog template; false when it is missing or malformed.
bool ReadDialogTemplate(int id, DialogTemplate& dialog)
{
    HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5)); // RT_DIALOG
    if (!found)
        return false;
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(Module(), found)));
    if (!data)
        return false;
    TemplateReader in(data, SizeofResource(Module(), found));
    if (in.Word() != 1 || in.Word() != 0xFFFF)
        return false; // DIALOGEX
    in.Dword();       // help id
    dialog.exStyle = in.Dword();
    dialog.style = in.Dword();
    const WORD count = in.Word();
    dialog.units.left = in.Short();
    dialog.units.top = in.Short();
    dialog.units.right = in.Short();
    dialog.units.bottom = in.Short();
    dialog.menu = in.StringOrOrdinal();
    dialog.className = in.StringOrOrdinal();
    dialog.caption = in.String();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.pointSize = in.Word();
        dialog.weight = in.Word();
        dialog.italic = in.Byte();
        dialog.charset = in.Byte();
        dialog.face = in.String();
    }
    for (WORD i = 0; i < count && in.Good(); ++i) {
        in.AlignDword();
        TemplateItem item;
        in.Dword(); // help id
        item.exStyle = in.Dword();
        item.style = in.Dword();
        item.units.left = in.Short();
        item.units.top = in.Short();
        item.units.right = in.Short();
        item.units.bottom = in.Short();
        item.id = in.Dword();
        item.className = in.StringOrOrdinal();
        item.text = in.StringOrOrdinal();
        in.Skip(in.Word()); // creation data
        dialog.items.push_back(item);
    }
    return in.Good();
}

// The predefined classes are stored as ordinals.
std::string TemplateClassName(const std::string& stored)
{
    if (stored == "#128")
        return "Button";
    if (stored == "#129")
        return "Edit";
    if (stored == "#130")
        return "Static";
    return stored;
}

TEST(DialogTemplate129, HeaderGivesFrameCaptionFontAndSize)
{
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate(129, dialog));
    EXPECT_EQ(dialog.style, DWORD{DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU |
                                  WS_MINIMIZEBOX});
    EXPECT_EQ(dialog.exStyle, 0u);
    const RECT size{0, 0, 368, 295};
    EXPECT_TRUE(EqualRect(&dialog.units, &size));
    EXPECT_EQ(dialog.menu, "");
    EXPECT_EQ(dialog.className, "");
    EXPECT_EQ(dialog.caption, "Tavolin Sorvane");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.face, "Microsoft Sans Serif");
    EXPECT_EQ(dialog.weight, FW_NORMAL);
    EXPECT_EQ(dialog.italic, 0);
    EXPECT_EQ(dialog.charset, DEFAULT_CHARSET);
    EXPECT_EQ(dialog.items.size(), std::size(kControls));
}

TEST(DialogTemplate129, ItemsHaveExactlyTheirStylesIdsAndUnits)
{
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate(129, dialog));
    ASSERT_EQ(dialog.items.size(), std::size(kControls));
    for (size_t i = 0; i < dialog.items.size(); ++i) {
        const TemplateItem& item = dialog.items[i];
        const ExpectedControl& expected = kControls[i];
        SCOPED_TRACE("item #" + std::to_string(i) + ", id " + std::to_string(expected.id));
        EXPECT_EQ(static_cast<int>(item.id), expected.id);
        EXPECT_EQ(lstrcmpiA(TemplateClassName(item.className).c_str(), expected.className), 0)
            << item.className;
        if (expected.text) {
            EXPECT_EQ(item.text, expected.text);
        }
        EXPECT_EQ(item.style, expected.style)
            << std::hex << item.style << " instead of " << expected.style;
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_TRUE(EqualRect(&item.units, &expected.units))
            << item.units.left << ", " << item.units.top << ", " << item.units.right << ", "
            << item.units.bottom;
    }
}

// ---------------------------------------------------------------------------
// The dialog, created modeless from template 129 with a procedure that does
// nothing: what the template gives only once the controls exist.

INT_PTR CALLBACK InertDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

class MainTemplate : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        // The program registers the list's class before it creates the dialog;
        // here a plain window stands in for the list.
        WNDCLASSA listClass{};
        listClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        listClass.lpfnWndProc = DefWindowProcA;
        listClass.hInstance = Module();
        listClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        listClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        listClass.lpszClassName = "ListCtrl";
        RegisterClassA(&listClass);
    }

    void SetUp() override
    {
        dialog = CreateDialogParamA(Module(), MAKEINTRESOURCEA(129), nullptr, InertDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << "error " << GetLastError();
    }

    void TearDown() override
    {
        if (dialog)
            DestroyWindow(dialog);
    }

    HWND Item(int id) const { return GetDlgItem(dialog, id); }

    HWND dialog = nullptr;
};

TEST_F(MainTemplate, UpDownsAdoptTheirBuddies)
{
    for (const auto& [spin, buddy] : {std::pair{1013, 1012}, std::pair{1025, 1022}}) {
        EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(Item(spin), UDM_GETBUDDY, 0, 0)), Item(buddy))
            << spin;
    }
}

TEST_F(MainTemplate, BannerHasTitleProductLineAndInstructions)
{
    const std::string text = WindowText(Item(1023));
    const size_t first = text.find('\n');
    ASSERT_NE(first, std::string::npos);
    const size_t second = text.find('\n', first + 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(text.substr(0, first), "Tavolin Sorvane");
    EXPECT_GT(second, first + 1) << "the product line is empty";
    EXPECT_EQ(text.substr(second + 1),
              "Please select desired password options, then click \"Generate!\" button.");
}

} // namespace
