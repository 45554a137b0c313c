// The list's window under Wine: what it paints, and what the mouse, the keys,
// the header and the title tip do, driven by sent messages.
#include <utility>

#include "tests/listctrl/list_window_fixture.h"

namespace list_window_test {
namespace {

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ListEnvironment);

// A spelling far wider than the "Phonetics" column.
const std::string kSpelled = "air - BIT - three - cup - DOG - nine - era - fly - gun - HAT";

TEST_F(ListWindowTest, PaintsRowsCellsAndHeaderInBothLooks)
{
    const COLORREF back = GetSysColor(COLOR_WINDOW);
    for (const bool themed : {false, true}) {
        list.options.themedLook = themed;
        if (themed && !list.Themed()) {
            GTEST_SKIP() << "no visual styles in this prefix";
        }
        model().DeleteAllItems();
        const int header = list.Look().headerHeight;
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
        const int top = header + list.Look().rowHeight;
        const Picture picture(window);
        EXPECT_TRUE(picture.AnyBut(back, 8, top, 24, top + list.Look().rowHeight));
        EXPECT_FALSE(picture.AnyBut(back, 24, top, 28, top + list.Look().rowHeight));
        EXPECT_TRUE(picture.AnyBut(back, 28, top, 40, top + list.Look().rowHeight));
    }
}

HFONT NoFont(int, bool)
{
    return nullptr;
}

// Without its font the look cannot load: the rows then hold no font that is
// gone, and take the system's new colours as the rest of the list does.
TEST_F(ListWindowTest, LookThatCannotLoadLeavesNoDeletedFontAndTheNewColours)
{
    AddRows({"Kp3xVr7Tz2"});
    const int element = COLOR_WINDOW;
    const COLORREF saved = GetSysColor(COLOR_WINDOW);
    const COLORREF green = RGB(200, 230, 200);
    ASSERT_TRUE(SetSysColors(1, &element, &green));
    list.SetFontSource(NoFont);
    SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
    const auto font = static_cast<HFONT>(model().GetItemFont(0, 0));
    const Picture picture(window);
    SetSysColors(1, &element, &saved);
    EXPECT_TRUE(font == nullptr || GetObjectType(font) == OBJ_FONT);
    EXPECT_EQ(picture.At(100 + 55 + 100, RowY(0)), green); // the row's empty "Phonetics"
}

TEST_F(ListWindowTest, CutTextEndsInAnEllipsis)
{
    const std::string text(30, 'W');
    AddRows({text});
    list.options.themedLook = false;
    const Picture picture(window);
    const int header = list.Look().headerHeight;
    const int height = list.Look().rowHeight;
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
    list.options.themedLook = false;
    model().SetColumnWidth(2, 100);
    model().AddColumn("Done", 60, -1, false, FormatProgress, 0);
    AddRows({"b", "a"});
    model().SetItemText(0, 3, "150");
    model().SetItemText(1, 3, "-5");
    const int left = 100 + 55 + 100;
    const int header = list.Look().headerHeight;
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

// Scrolled by a page the list stands between two rows: the band and a click
// take the rows painted under the pointer.
TEST_F(ListWindowTest, BandAndClicksFindThePaintedRowsBetweenWholeRows)
{
    list.options.smoothScroll = false;
    AddRows(std::vector<std::string>(30, "r"));
    SendMessageA(window, WM_VSCROLL, SB_PAGEDOWN, 0);
    const int position = GetScrollPos(window, SB_VERT);
    ASSERT_NE(position % list.Look().rowHeight, 0);
    const int first = position / list.Look().rowHeight;
    Mouse(WM_LBUTTONDOWN, 200, RowY(0), MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 180, RowY(2), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 180, RowY(2));
    EXPECT_EQ(Selected(), (std::vector<int>{first, first + 1, first + 2}));
    Click(120, RowY(2));
    EXPECT_EQ(Selected(), std::vector<int>{first + 2});
}

// "One screen at a time" reaches the program as WHEEL_PAGESCROLL, or under
// Wine as the largest int: either way a notch scrolls the rows in full view.
TEST_F(ListWindowTest, WheelScrollsAScreenWhenItsLinesExceedTheRows)
{
    AddRows(std::vector<std::string>(60, "r"));
    UINT saved = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &saved, 0);
    const int screen = (ClientOf(window).bottom - list.Look().headerHeight) / list.Look().rowHeight;
    for (const UINT lines : {UINT{WHEEL_PAGESCROLL}, UINT{0x7FFFFFFF}, UINT{3}}) {
        SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, lines, nullptr, 0);
        SendMessageA(window, WM_SETTINGCHANGE, SPI_SETWHEELSCROLLLINES, 0);
        SetScrollPos(window, SB_VERT, 0, FALSE);
        SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)), 0);
        const int rows = lines == 3 ? 6 : 2 * screen;
        EXPECT_EQ(GetScrollPos(window, SB_VERT), rows * list.Look().rowHeight) << lines;
    }
    SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, saved, nullptr, 0);
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
    EXPECT_EQ(model().FocusRow(), 1);
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
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 3 * list.Look().rowHeight);
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
    const int y = list.Look().headerHeight / 2;
    Click(120, y); // "Entropy" in text order: "12 bit", "5 bit", "57 bit"
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a1", "c3", "b2"}));
    Click(120, y); // reversed, not compared again
    EXPECT_EQ(Column(0), (std::vector<std::string>{"b2", "c3", "a1"}));
    EXPECT_FALSE(model().SortAscending());
    // A three-pixel move is still a click; five pixels start a drag instead.
    Mouse(WM_LBUTTONDOWN, 50, y, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 53, y, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 53, y);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a1", "b2", "c3"}));
    EXPECT_TRUE(model().SortAscending());
    Mouse(WM_LBUTTONDOWN, 120, y, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 125, y, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 125, y);
    EXPECT_EQ(model().SortColumn(), 0);

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
    // A slight move before the button comes up goes on from the fitted width.
    Mouse(WM_LBUTTONDBLCLK, 100 + 30 + 200 - 1, y, MK_LBUTTON);
    EXPECT_EQ(model().GetColumnWidth(2), size.cx + 20);
    Mouse(WM_MOUSEMOVE, 100 + 30 + 200 + 1, y, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 100 + 30 + 200 + 1, y);
    EXPECT_EQ(model().GetColumnWidth(2), size.cx + 20 + 2);
}

TEST_F(ListWindowTest, TitleTipLiesOverACutOffCellAndGoesWhenThePointerLeaves)
{
    AddRows({"Kp3xVr7Tz2", "b"});
    model().SetItemText(0, 2, "air");
    model().SetItemText(1, 2, kSpelled);
    const HWND tip = list.TitleTipWindow();
    ASSERT_NE(tip, nullptr);
    SIZE size{};
    const HDC dc = GetDC(window);
    SelectObject(dc, list.Look().listFont.get());
    GetTextExtentPoint32A(dc, kSpelled.c_str(), static_cast<int>(kSpelled.size()), &size);
    ReleaseDC(window, dc);
    POINT origin{};
    ClientToScreen(window, &origin);
    const int textLeft = 100 + 55 + 3 + 4; // the third column's text
    const auto show = [&] {
        Mouse(WM_MOUSEMOVE, 250, RowY(1));
        return IsWindowVisible(tip) != FALSE;
    };
    ASSERT_TRUE(show());
    RECT rect{};
    GetWindowRect(tip, &rect);
    EXPECT_EQ(rect.left, origin.x + textLeft - 4);
    EXPECT_EQ(rect.right - rect.left, size.cx + 11);
    EXPECT_EQ(rect.top, origin.y + list.Look().headerHeight + list.Look().rowHeight);
    EXPECT_EQ(rect.bottom - rect.top, list.Look().rowHeight);
    EXPECT_EQ(TextOf(tip), kSpelled);
    EXPECT_EQ(GetCapture(), tip);

    // Off the tip it goes, and lets the mouse go.
    SendMessageA(tip, WM_MOUSEMOVE, 0, MAKELPARAM(rect.right - rect.left + 5, 5));
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_NE(GetCapture(), tip);
    // None where the text fits or over the titles, nor beside the text.
    for (const POINT point :
         {POINT{250, RowY(0)}, POINT{120, RowY(1)}, POINT{250, list.Look().headerHeight / 2}}) {
        ASSERT_TRUE(show());
        Mouse(WM_MOUSEMOVE, point.x, point.y);
        EXPECT_FALSE(IsWindowVisible(tip)) << point.x << "," << point.y;
    }
    Mouse(WM_MOUSEMOVE, textLeft - 3, RowY(1));
    EXPECT_FALSE(IsWindowVisible(tip));
    // Scrolling, the wheel, a cancel, a system key and disabling hide it too.
    for (const UINT message : {WM_MOUSEWHEEL, WM_VSCROLL, WM_HSCROLL, WM_CANCELMODE, WM_SYSKEYDOWN,
                               WM_RBUTTONDOWN, WM_ENABLE}) {
        ASSERT_TRUE(show());
        SendMessageA(window, message, message == WM_MOUSEWHEEL ? MAKEWPARAM(0, -WHEEL_DELTA) : 0,
                     0);
        EXPECT_FALSE(IsWindowVisible(tip)) << message;
    }
}

// At the edge: a text as wide as its rectangle less one pixel fits and shows
// no tip; a pixel wider, it is cut off.
TEST_F(ListWindowTest, TitleTipOnlyWhereTheTextDoesNotFit)
{
    const std::string text = "air - BIT - three";
    AddRows({"a"});
    model().SetItemText(0, 2, text);
    const HWND tip = list.TitleTipWindow();
    ASSERT_NE(tip, nullptr);
    SIZE size{};
    const HDC dc = GetDC(window);
    SelectObject(dc, list.Look().listFont.get());
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ReleaseDC(window, dc);
    // The third column's text starts 3 + 4 pixels into the cell and ends 4
    // before the cell's last pixel, its width - 1.
    const int fitting = 3 + 4 + size.cx + 1 + 4 + 1;
    for (const auto& [width, shown] : {std::pair{fitting, false}, std::pair{fitting - 1, true}}) {
        model().SetColumnWidth(2, width);
        Mouse(WM_MOUSEMOVE, 100 + 55 + 3 + 4 + 5, RowY(0));
        EXPECT_EQ(IsWindowVisible(tip) != FALSE, shown) << "column " << width << " wide";
        Mouse(WM_MOUSEMOVE, 50, list.Look().headerHeight / 2); // over the titles: none
    }
}

TEST_F(ListWindowTest, ClickOnTheTitleTipIsAClickOnTheRowBeneath)
{
    AddRows({"Kp3xVr7Tz2", "b"});
    model().SetItemText(1, 2, kSpelled);
    const HWND tip = list.TitleTipWindow();
    ASSERT_NE(tip, nullptr);
    const auto show = [&] {
        Mouse(WM_MOUSEMOVE, 250, RowY(1));
        return IsWindowVisible(tip) != FALSE;
    };
    // A disabled list takes no click through the tip either.
    EnableWindow(window, FALSE);
    ASSERT_TRUE(show());
    SendMessageA(tip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    Pump();
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_TRUE(Selected().empty());
    EnableWindow(window, TRUE);

    // A click on the tip is a click on the row beneath it.
    ASSERT_TRUE(show());
    heard.clear();
    SendMessageA(tip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    Pump();
    SendMessageA(tip, WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
    Pump();
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_EQ(Selected(), std::vector<int>{1});
    EXPECT_EQ(heard, (std::vector<int>{NotifySelected, NotifyLeftClick}));
}

TEST_F(ListWindowTest, TitleTipPaintsInBothLooks)
{
    AddRows({"a"});
    model().SetItemText(0, 2, kSpelled);
    for (const bool themed : {false, true}) {
        list.options.themedLook = themed;
        list.LoadViewSettings(); // the tip takes the look it is made with
        if (themed && !list.Themed()) {
            GTEST_SKIP() << "no visual styles in this prefix";
        }
        const HWND tip = list.TitleTipWindow();
        Mouse(WM_MOUSEMOVE, 250, RowY(0));
        ASSERT_TRUE(IsWindowVisible(tip));
        const RECT client = ClientOf(tip);
        const Canvas canvas(client.right, client.bottom);
        SendMessageA(tip, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
        const int middle = client.bottom / 2;
        const int free = client.right - 3; // right of the text
        const COLORREF text = GetSysColor(themed ? COLOR_WINDOWTEXT : COLOR_INFOTEXT);
        if (themed) {
            EXPECT_EQ(canvas.At(0, middle), RGB(220, 220, 220));
            EXPECT_TRUE(Between(canvas.At(free, middle), RGB(250, 250, 250), RGB(235, 235, 235)));
        } else {
            EXPECT_EQ(canvas.At(0, middle), text);
            EXPECT_EQ(canvas.At(free, middle), GetSysColor(COLOR_INFOBK));
        }
        EXPECT_TRUE(canvas.Any(text, 4, 2, client.right - 7, client.bottom - 2));
        Mouse(WM_MOUSEMOVE, 250, list.Look().headerHeight / 2);
    }
}

} // namespace
} // namespace list_window_test
