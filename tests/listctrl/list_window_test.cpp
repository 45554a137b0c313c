// The list's window under Wine: what it paints, and what the mouse, the keys
// and the header do, driven by sent messages.
#include <gtest/gtest.h>

#include <windows.h>

#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

#include "listctrl/password_list_control.h"
#include "res/resource.h"
#include "toolkit/module.h"

namespace {

std::vector<int> heard; // notification codes the parent received

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        heard.push_back(static_cast<int>(reinterpret_cast<const NMHDR*>(lParam)->code));
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class ListEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        OleInitialize(nullptr);
        module.Init(GetModuleHandleA(nullptr));
        PasswordListControl::RegisterWindowClass(module.Instance());
        WNDCLASSA parent{};
        parent.lpfnWndProc = ParentProc;
        parent.hInstance = module.Instance();
        parent.lpszClassName = "SorvaneListTestParent";
        RegisterClassA(&parent);
    }
    void TearDown() override
    {
        module.Term();
        OleUninitialize();
    }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new ListEnvironment);

// A 32-bit top-down bitmap selected into a memory context.
class Canvas {
public:
    Canvas(int canvasWidth, int canvasHeight) : width(canvasWidth), height(canvasHeight)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous = SelectObject(dc, bitmap);
        pixels = static_cast<const std::uint32_t*>(bits);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC Dc() const { return dc; }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const std::uint32_t bgr = pixels[y * width + x];
        return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }
    // Whether any pixel of the rectangle differs from the colour.
    bool AnyBut(COLORREF color, int left, int top, int right, int bottom) const
    {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                if (At(x, y) != color) {
                    return true;
                }
            }
        }
        return false;
    }
    bool Any(COLORREF color, int left, int top, int right, int bottom) const
    {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                if (At(x, y) == color) {
                    return true;
                }
            }
        }
        return false;
    }

    const int width;
    const int height;

private:
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    const std::uint32_t* pixels = nullptr;
};

RECT ClientOf(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return client;
}

// The list's client area as painted through WM_PRINTCLIENT.
class Picture : public Canvas {
public:
    explicit Picture(HWND window) : Canvas(ClientOf(window).right, ClientOf(window).bottom)
    {
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Dc()), PRF_CLIENT);
    }
};

bool Between(COLORREF color, COLORREF a, COLORREF b)
{
    const auto within = [](int value, int x, int y) {
        return value >= std::min(x, y) - 2 && value <= std::max(x, y) + 2;
    };
    return within(GetRValue(color), GetRValue(a), GetRValue(b)) &&
           within(GetGValue(color), GetGValue(a), GetGValue(b)) &&
           within(GetBValue(color), GetBValue(a), GetBValue(b));
}

class ListWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        heard.clear();
        parent = CreateWindowExA(0, "SorvaneListTestParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 420,
                                 320, nullptr, nullptr, module.Instance(), nullptr);
        window = CreateWindowExA(0, PasswordListControl::kClassName, "", WS_CHILD | WS_VISIBLE, 10,
                                 10, 400, 300, parent, reinterpret_cast<HMENU>(1026),
                                 module.Instance(), nullptr);
        ASSERT_TRUE(list.Subclass(window));
        ASSERT_TRUE(list.Setup());
        images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
        const HICON icon = static_cast<HICON>(
            LoadImageA(module.Instance(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 16, 16, 0));
        ImageList_AddIcon(images, icon);
        DestroyIcon(icon);
        list.SetImageList(images);
        model().AddColumn("Password", 100, -1, false, FormatText, 0);
        model().AddColumn("Entropy", 55, -1, false, FormatText, 0);
        model().AddColumn("Phonetics", 200, -1, false, FormatText, 0);
    }
    void TearDown() override
    {
        DestroyWindow(parent);
        ImageList_Destroy(images);
    }

    ListModel& model() { return list.Model(); }
    int RowY(int row) const
    {
        return list.Model().headerHeight + row * list.Model().rowHeight +
               list.Model().rowHeight / 2;
    }
    void AddRows(const std::vector<std::string>& passwords, const char* entropy = "57 bit")
    {
        for (const auto& password : passwords) {
            const int row = model().AddItem(password, 0, FormatText, 0);
            model().SetItemText(row, 1, entropy);
        }
    }
    std::vector<int> Selected() const
    {
        std::vector<int> rows;
        list.Model().GetSelectedItems(rows);
        return rows;
    }
    void Mouse(UINT message, int x, int y, unsigned keys = 0)
    {
        SendMessageA(window, message, keys, MAKELPARAM(x, y));
    }
    void Click(int x, int y, unsigned keys = 0)
    {
        Mouse(WM_LBUTTONDOWN, x, y, keys | MK_LBUTTON);
        Mouse(WM_LBUTTONUP, x, y, keys);
    }
    // A key with Ctrl or Shift held as the keyboard state says.
    void Key(UINT key, bool ctrl = false, bool shift = false)
    {
        BYTE state[256] = {};
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state);
        SendMessageA(window, WM_KEYDOWN, key, 0);
        BYTE none[256] = {};
        SetKeyboardState(none);
    }
    std::vector<std::string> Column(int index) const
    {
        std::vector<std::string> texts;
        for (int row = 0; row < list.Model().GetItemCount(); ++row) {
            texts.push_back(list.Model().GetItemText(row, index));
        }
        return texts;
    }

    HWND parent = nullptr;
    HWND window = nullptr;
    HIMAGELIST images = nullptr;
    PasswordListControl list;
};

TEST_F(ListWindowTest, PaintsRowsCellsAndHeaderInBothLooks)
{
    const COLORREF back = GetSysColor(COLOR_WINDOW);
    for (const bool themed : {false, true}) {
        list.themedLook = themed;
        if (themed && !list.Themed()) {
            GTEST_SKIP() << "no visual styles in this prefix";
        }
        model().DeleteAllItems();
        const int header = model().headerHeight;
        {
            const Picture empty(window);
            EXPECT_TRUE(empty.AnyBut(back, 0, 0, empty.width, header)) << "the titles";
            EXPECT_FALSE(empty.AnyBut(back, 0, header, empty.width, empty.height));
        }
        AddRows({"Kp3xVr7Tz2", std::string(40, 'W')});
        model().SelectItem(0, -1, 0);
        const int middle = RowY(0);
        const ListColors& colors = list.Look().colors;
        for (const bool focused : {false, true}) {
            SetFocus(focused ? window : parent);
            const Picture picture(window);
            // Beside the entropy text, inside the selected row.
            const COLORREF fill = picture.At(100 + 50, middle);
            if (!themed) {
                EXPECT_EQ(fill, colors.highlight);
                EXPECT_TRUE(picture.Any(colors.highlightText, 28, middle - 6, 95, middle + 6));
            } else if (focused) {
                EXPECT_TRUE(Between(fill, colors.selectedTop, colors.selectedBottom)) << fill;
            } else {
                EXPECT_TRUE(Between(fill, colors.inactiveTop, colors.inactiveBottom)) << fill;
            }
        }
        // The icon sits at the text's left edge, the text 16 + 4 pixels on.
        const int top = header + model().rowHeight;
        const Picture picture(window);
        EXPECT_TRUE(picture.AnyBut(back, 8, top, 24, top + model().rowHeight));
        EXPECT_FALSE(picture.AnyBut(back, 24, top, 28, top + model().rowHeight));
        EXPECT_TRUE(picture.AnyBut(back, 28, top, 40, top + model().rowHeight));
    }
}

TEST_F(ListWindowTest, CutTextEndsInAnEllipsis)
{
    const std::string text(30, 'W');
    AddRows({text});
    list.themedLook = false;
    const Picture picture(window);
    const int header = model().headerHeight;
    const int height = model().rowHeight;
    // The same text drawn in the cell's text rectangle, with and without the
    // ellipsis; the list must match the first only.
    const auto reference = [&](UINT ellipsis) {
        const Canvas canvas(100, height);
        RECT fill{0, 0, 100, height};
        FillRect(canvas.Dc(), &fill, GetSysColorBrush(COLOR_WINDOW));
        SelectObject(canvas.Dc(), list.Look().listFont.get());
        SetBkMode(canvas.Dc(), TRANSPARENT);
        SetTextColor(canvas.Dc(), GetSysColor(COLOR_WINDOWTEXT));
        RECT rect{28, 0, 100 - 1 - 4, height};
        DrawTextA(canvas.Dc(), text.c_str(), -1, &rect,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | ellipsis);
        int differing = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 28; x < 95; ++x) {
                differing += picture.At(x, header + y) != canvas.At(x, y);
            }
        }
        return differing;
    };
    EXPECT_EQ(reference(DT_END_ELLIPSIS), 0);
    EXPECT_GT(reference(0), 0);
}

TEST_F(ListWindowTest, ShowsTheSortArrowAndProgressBars)
{
    list.themedLook = false;
    model().SetColumnWidth(2, 100);
    model().AddColumn("Done", 60, -1, false, FormatProgress, 0);
    AddRows({"b", "a"});
    model().SetItemText(0, 3, "150");
    model().SetItemText(1, 3, "-5");
    const int left = 100 + 55 + 100;
    const int header = model().headerHeight;
    const Picture before(window);
    // Full: green to the bar's inner right end; empty: no green at its start.
    const COLORREF full = before.At(left + 60 - 1 - 3 - 3 - 2, RowY(0));
    EXPECT_GT(GetGValue(full), GetRValue(full) + 40) << full;
    const COLORREF empty = before.At(left + 3 + 3 + 2, RowY(1));
    EXPECT_EQ(empty, list.Look().colors.back);

    Click(50, header / 2); // "Password"
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a", "b"}));
    const Picture after(window);
    // The arrow sits at the right end of the sorted title only.
    EXPECT_FALSE(before.AnyBut(list.Look().colors.headerFace, 70, 2, 96, header - 2));
    EXPECT_TRUE(after.AnyBut(list.Look().colors.headerFace, 70, 2, 96, header - 2));
    EXPECT_FALSE(after.AnyBut(list.Look().colors.headerFace, 230, 2, 252, header - 2));
}

TEST_F(ListWindowTest, ClicksSelectWithShiftAndCtrl)
{
    AddRows({"a", "b", "c", "d", "e", "f"});
    Click(120, RowY(1));
    Click(120, RowY(4), MK_SHIFT);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3, 4}));
    heard.clear();
    Click(120, RowY(2), MK_CONTROL);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(heard, std::vector<int>{NotifyLeftClick}); // taking a row away is not announced

    // A plain press on one of several keeps them until the button comes up.
    heard.clear();
    Mouse(WM_LBUTTONDOWN, 120, RowY(3), MK_LBUTTON);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 3, 4}));
    Mouse(WM_LBUTTONUP, 120, RowY(3));
    EXPECT_EQ(Selected(), std::vector<int>{3});
    EXPECT_EQ(heard, (std::vector<int>{NotifySelected, NotifyLeftClick}));
}

TEST_F(ListWindowTest, RubberBandSelectsTheRowsItCovers)
{
    AddRows({"a", "b", "c", "d"});
    heard.clear();
    const int below = RowY(5);
    Mouse(WM_LBUTTONDOWN, 200, below, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 180, RowY(1), MK_LBUTTON);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
    Mouse(WM_LBUTTONUP, 180, RowY(1));
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(heard.empty()); // neither the band nor its end is announced
}

TEST_F(ListWindowTest, KeysMoveTheFocusAndTheSelection)
{
    Key(VK_HOME); // an empty list: nothing happens
    EXPECT_TRUE(Selected().empty());
    std::vector<std::string> rows;
    for (int i = 0; i < 30; ++i) {
        rows.push_back((i % 2 ? "k" : "m") + std::to_string(i));
    }
    AddRows(rows);
    Key(VK_END);
    Key(VK_DOWN);
    EXPECT_EQ(Selected(), std::vector<int>{29});
    Key(VK_HOME);
    Key(VK_DOWN, true); // Ctrl: the focus moves, the selection stays
    EXPECT_EQ(Selected(), std::vector<int>{0});
    EXPECT_EQ(model().focusRow, 1);
    Key(VK_DOWN);
    EXPECT_EQ(Selected(), std::vector<int>{2});

    // Type-ahead: a new letter searches from the top, the same letter again
    // goes on after the focus, a second letter within the pause searches for
    // the two-letter prefix.
    Key('K');
    EXPECT_EQ(Selected(), std::vector<int>{1});
    Key('K');
    EXPECT_EQ(Selected(), std::vector<int>{3});
    Key('1');
    EXPECT_EQ(Selected(), std::vector<int>{11});

    // A wheel notch moves three rows; up at the top stays at the top.
    SetScrollPos(window, SB_VERT, 0, FALSE);
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 3 * model().rowHeight);
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 2 * WHEEL_DELTA), 0);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 0);
    // Tab is not the list's: the dialog moves on to the next control.
    EXPECT_EQ(SendMessageA(window, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, 0);
}

TEST_F(ListWindowTest, TitlesSortAndEdgesSize)
{
    AddRows({"c3", "a1", "b2"});
    model().SetItemText(0, 1, "5 bit");
    model().SetItemText(1, 1, "12 bit");
    const int y = model().headerHeight / 2;
    Click(120, y); // "Entropy" in text order: "12 bit", "5 bit", "57 bit"
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a1", "c3", "b2"}));
    Click(120, y); // reversed, not compared again
    EXPECT_EQ(Column(0), (std::vector<std::string>{"b2", "c3", "a1"}));
    EXPECT_FALSE(model().sortAscending);
    // A three-pixel move is still a click; five pixels start a drag instead.
    Mouse(WM_LBUTTONDOWN, 50, y, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 53, y, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 53, y);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a1", "b2", "c3"}));
    EXPECT_TRUE(model().sortAscending);
    Mouse(WM_LBUTTONDOWN, 120, y, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 125, y, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 125, y);
    EXPECT_EQ(model().sortColumn, 0);

    // "Entropy" dragged to nothing is grabbed again at the edge where it lies.
    Mouse(WM_LBUTTONDOWN, 154, y, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 154 - 80, y, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 154 - 80, y);
    EXPECT_EQ(model().GetColumnWidth(1), 0);
    Mouse(WM_LBUTTONDOWN, 101, y, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 131, y, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 131, y);
    EXPECT_EQ(model().GetColumnWidth(1), 30);
    EXPECT_EQ(model().GetColumnWidth(0), 100);

    // A double-click on an edge fits the column to its widest text.
    const std::string longest = "air - bit - cup - dog - era - fly - gun - hat";
    model().SetItemText(1, 2, longest);
    const HDC dc = GetDC(window);
    SelectObject(dc, list.Look().listFont.get());
    SIZE size{};
    GetTextExtentPoint32A(dc, longest.c_str(), static_cast<int>(longest.size()), &size);
    ReleaseDC(window, dc);
    Mouse(WM_LBUTTONDBLCLK, 100 + 30 + 200 - 1, y, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 100 + 30 + 200 - 1, y);
    EXPECT_EQ(model().GetColumnWidth(2), size.cx + 20);
}

} // namespace
