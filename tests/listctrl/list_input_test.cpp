// The list's window under Wine: paging and sideways keys, the scroll bar,
// bringing rows into view, the timers of the band and the header, the frames
// of smooth scrolling, the band's paint, the sort arrow, column drops and
// type-ahead in the sort column.
#include <ios>

#include "tests/listctrl/list_window_fixture.h"

namespace list_window_test {
namespace {

class ListInputTest : public ListWindowTest {
protected:
    void AddNumberedRows(int count)
    {
        for (int i = 0; i < count; ++i) {
            AddRows({"row" + std::to_string(i)});
        }
    }
    int RowHeight() { return list.Look().rowHeight; }
    // Rows wholly below the header.
    int FullRows() { return (ClientOf(window).bottom - list.Look().headerHeight) / RowHeight(); }
    int Position(int bar) const { return GetScrollPos(window, bar); }
    void ScrollTo(int bar, int position) { SetScrollPos(window, bar, position, FALSE); }
};

TEST_F(ListInputTest, PageKeysMoveByTheFullyVisibleRows)
{
    AddNumberedRows(40);
    const int page = FullRows();
    ASSERT_GT(page, 3);
    const struct {
        int from;
        UINT key;
        int to;
    } cases[] = {
        {0, VK_NEXT, page - 1},         {page - 1, VK_NEXT, 2 * page - 2}, {37, VK_NEXT, 39},
        {2 * page, VK_PRIOR, page + 1}, {page - 1, VK_PRIOR, 0},
    };
    for (const auto& step : cases) {
        model().SelectItem(step.from, -1, 0);
        Key(step.key);
        EXPECT_EQ(Selected(), std::vector<int>{step.to}) << step.from << " " << step.key;
    }
}

TEST_F(ListInputTest, LeftAndRightScrollSidewaysAndKeepTheRow)
{
    model().SetColumnWidth(2, 600);
    AddRows({"a", "b"});
    model().SelectItem(1, -1, 0);
    const struct {
        int from;
        UINT key;
        bool ctrl;
        int to;
    } cases[] = {
        {0, VK_RIGHT, false, 5}, {5, VK_RIGHT, true, 55}, {55, VK_LEFT, false, 50},
        {50, VK_LEFT, true, 0},  {3, VK_LEFT, false, 0},
    };
    for (const auto& step : cases) {
        ScrollTo(SB_HORZ, step.from);
        Key(step.key, step.ctrl);
        EXPECT_EQ(Position(SB_HORZ), step.to) << step.from << " " << step.key << " " << step.ctrl;
        EXPECT_EQ(Selected(), std::vector<int>{1});
    }
}

TEST_F(ListInputTest, ScrollBarPagesByTheRowsArea)
{
    AddNumberedRows(60);
    list.options.smoothScroll = false;
    const int page = ClientOf(window).bottom - list.Look().headerHeight;
    const struct {
        int from;
        int request;
        int to;
    } cases[] = {
        {0, SB_PAGEDOWN, page},
        {3 * page, SB_PAGEUP, 2 * page},
        {page / 2, SB_PAGEUP, 0},
    };
    for (const auto& step : cases) {
        ScrollTo(SB_VERT, step.from);
        SendMessageA(window, WM_VSCROLL, MAKEWPARAM(step.request, 0), 0);
        EXPECT_EQ(Position(SB_VERT), step.to) << step.from << " " << step.request;
    }
}

TEST_F(ListInputTest, EnsureVisibleScrollsARowToTheNearerEdge)
{
    AddNumberedRows(60);
    const int page = FullRows();
    const struct {
        int first; // the first visible row before
        int row;
        int firstAfter;
    } cases[] = {
        {0, 30, 30 + 1 - page}, // below: it becomes the last fully visible row
        {20, 5, 5},             // above: it becomes the first
        {10, 12, 10},           // in view: nothing moves
    };
    for (const auto& step : cases) {
        ScrollTo(SB_VERT, step.first * RowHeight());
        list.EnsureVisible(step.row, -1);
        EXPECT_EQ(Position(SB_VERT), step.firstAfter * RowHeight()) << step.row;
    }
}

TEST_F(ListInputTest, RightClickInEmptySpaceClearsTheSelection)
{
    AddRows({"a", "b", "c"});
    Click(120, RowY(0));
    Click(120, RowY(2), MK_SHIFT);
    Mouse(WM_RBUTTONDOWN, 120, RowY(1), MK_RBUTTON);
    Mouse(WM_RBUTTONUP, 120, RowY(1));
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2})); // on a selected row it stays
    notices.clear();
    Mouse(WM_RBUTTONDOWN, 120, RowY(6), MK_RBUTTON);
    Mouse(WM_RBUTTONUP, 120, RowY(6));
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(model().FocusRow(), -1);
    EXPECT_EQ(notices, (std::vector<std::vector<int>>{{NotifyRightClick, -1, 0}}));
}

// Rows of the arrow's pixels from its top: how many in the first and the last.
std::pair<int, int> ArrowEnds(const Picture& picture, COLORREF face, int left, int right,
                              int header)
{
    std::vector<int> widths;
    for (int y = 2; y < header - 2; ++y) {
        int width = 0;
        for (int x = left; x < right; ++x) {
            width += picture.At(x, y) != face;
        }
        if (width > 0) {
            widths.push_back(width);
        }
    }
    return widths.empty() ? std::pair{0, 0} : std::pair{widths.front(), widths.back()};
}

TEST_F(ListInputTest, SortArrowPointsUpAscendingAndDownDescending)
{
    list.options.themedLook = false;
    AddRows({"b", "a"});
    const int header = list.Look().headerHeight;
    for (const bool ascending : {true, false}) {
        Click(50, header / 2); // "Password": first ascending, then reversed
        ASSERT_EQ(model().SortAscending(), ascending);
        const Picture picture(window);
        const auto [top, bottom] =
            ArrowEnds(picture, list.Look().colors.headerFace, 70, 96, header);
        ASSERT_GT(top + bottom, 0) << "no arrow";
        // Pointing up, the tip is the arrow's top row.
        EXPECT_EQ(top < bottom, ascending) << top << " " << bottom;
    }
}

TEST_F(ListInputTest, SmoothScrollFramesEndOnTheRowsScrolledTo)
{
    AddNumberedRows(60);
    const RECT client = ClientOf(window);
    const int header = list.Look().headerHeight;
    const int page = client.bottom - header;
    for (const auto& [from, request] :
         {std::pair{0, SB_PAGEDOWN}, std::pair{2 * page, SB_PAGEUP}}) {
        ScrollTo(SB_VERT, from);
        SendMessageA(window, WM_VSCROLL, MAKEWPARAM(request, 0), 0);
        ASSERT_TRUE(list.IsAnimating());
        const Canvas frame(client.right, client.bottom);
        int frames = 0;
        while (list.IsAnimating() && frames < 100) {
            // What the window shows, read back from the screen.
            const HDC dc = GetDC(window);
            BitBlt(frame.Dc(), 0, 0, frame.width, frame.height, dc, 0, 0, SRCCOPY);
            ReleaseDC(window, dc);
            SendMessageA(window, WM_TIMER, ListWindow::kAnimationTimer, 0);
            ++frames;
        }
        SendMessageA(window, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
        EXPECT_GT(frames, 2);
        // The last frame shows the rows as they now lie.
        const Picture now(window);
        int differing = 0;
        for (int y = header; y < client.bottom; ++y) {
            for (int x = 0; x < client.right; ++x) {
                differing += frame.At(x, y) != now.At(x, y);
            }
        }
        EXPECT_EQ(differing, 0) << request;
    }
}

TEST_F(ListInputTest, BandIsTranslucentAndOutlined)
{
    AddRows({"a", "b"});
    for (const bool themed : {false, true}) {
        list.options.themedLook = themed;
        if (themed && !list.Themed()) {
            GTEST_SKIP() << "no visual styles in this prefix";
        }
        const ListColors& colors = list.Look().colors;
        const COLORREF fill = themed ? colors.highlight : colors.focusCell;
        const COLORREF outline = themed ? colors.highlight : colors.text;
        const int top = RowY(5);
        const int bottom = RowY(9);
        Mouse(WM_LBUTTONDOWN, 200, bottom, MK_LBUTTON);
        Mouse(WM_MOUSEMOVE, 300, top, MK_LBUTTON);
        const Picture picture(window);
        Mouse(WM_LBUTTONUP, 300, top);
        // A copy of what lies beneath, blended over the band colour with a
        // constant alpha of 180: each channel 180/255 the copy's, the rest
        // the band's.
        const COLORREF inside = picture.At(250, RowY(7));
        for (const int shift : {0, 8, 16}) {
            const int beneath = (colors.back >> shift) & 0xFF;
            const int band = (fill >> shift) & 0xFF;
            const int blended = (beneath * 180 + band * (255 - 180) + 127) / 255;
            EXPECT_NEAR((inside >> shift) & 0xFF, blended, 2)
                << "bits " << shift << " of " << std::hex << inside;
        }
        for (const POINT edge :
             {POINT{200, RowY(7)}, POINT{299, RowY(7)}, POINT{250, top}, POINT{250, bottom - 1}}) {
            EXPECT_EQ(picture.At(edge.x, edge.y), outline) << edge.x << "," << edge.y;
        }
        EXPECT_EQ(picture.At(250, top - 1), colors.back); // nothing outside it
    }
}

TEST_F(ListInputTest, TypeAheadSearchesTheSortColumn)
{
    AddRows({"6a", "b", "c"});
    model().SetItemText(0, 1, "40 bit");
    model().SetItemText(1, 1, "61 bit");
    model().SetItemText(2, 1, "50 bit");
    list.SortByColumn(1); // "40 bit", "50 bit", "61 bit"
    Key('6');
    EXPECT_EQ(Selected(), std::vector<int>{2});
    EXPECT_EQ(model().GetItemText(2, 0), "b");
}

TEST_F(ListInputTest, ColumnDroppedRightOfItselfLandsBeforeTheTarget)
{
    const struct {
        int dragged;
        int drop; // the position it goes before
        int underPointer;
        std::vector<std::string> titles;
    } cases[] = {
        {0, 2, 1, {"Entropy", "Password", "Phonetics"}}, // right half of "Entropy"
        {0, 3, 2, {"Entropy", "Phonetics", "Password"}}, // right half of "Phonetics"
        {2, 0, 0, {"Phonetics", "Password", "Entropy"}}, // left half of "Password"
    };
    for (const auto& step : cases) {
        for (int index = 0; index < 3; ++index) {
            model().MoveColumn(model().FindColumn(index), index); // as added
        }
        list.MoveDraggedColumn(step.dragged, step.drop, step.underPointer);
        std::vector<std::string> titles;
        for (int position = 0; position < model().GetColumnCount(); ++position) {
            ListColumn column;
            model().GetColumn(position, column);
            titles.push_back(column.title);
        }
        EXPECT_EQ(titles, step.titles) << step.dragged << " before " << step.drop;
    }
}

TEST_F(ListInputTest, BandScrollsALineOnEachTickBelowTheList)
{
    AddNumberedRows(40);
    const int below = ClientOf(window).bottom + 10;
    Mouse(WM_LBUTTONDOWN, 120, RowY(2), MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 180, below, MK_LBUTTON);
    for (int tick = 1; tick <= 2; ++tick) {
        const int before = Position(SB_VERT);
        const std::size_t rows = Selected().size();
        Sleep(30); // the band scrolls the list at most every 10 ms
        SendMessageA(window, WM_TIMER, ListWindow::kBandTimer, 0);
        EXPECT_EQ(Position(SB_VERT), before + RowHeight()) << tick;
        // The band stretches down by the line that came into view.
        ASSERT_EQ(Selected().size(), rows + 1) << tick;
        EXPECT_EQ(Selected().front(), 2);
    }
    Mouse(WM_LBUTTONUP, 180, below);
}

TEST_F(ListInputTest, ShrinkTimerNarrowsAColumnScrolledFullyRight)
{
    model().SetColumnWidth(0, 600);
    AddRows({"a"});
    ScrollTo(SB_HORZ, 600); // as far right as it goes
    const int edge = 600 - Position(SB_HORZ);
    const int y = list.Look().headerHeight / 2;
    Mouse(WM_LBUTTONDOWN, edge, y, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, edge - 10, y, MK_LBUTTON);
    EXPECT_EQ(model().GetColumnWidth(0), 600); // the timer shrinks it, not the move
    // The timer reads where the pointer is.
    POINT pointer{edge - 20, y};
    ClientToScreen(window, &pointer);
    SetCursorPos(pointer.x, pointer.y);
    for (const int width : {590, 580}) {
        SendMessageA(window, WM_TIMER, ListWindow::kResizeTimer, 0);
        EXPECT_EQ(model().GetColumnWidth(0), width);
    }
    Mouse(WM_LBUTTONUP, edge - 20, y);
    SetCursorPos(1200, 1000);
}

} // namespace
} // namespace list_window_test
