// Where the rows, cells and titles lie, and type-ahead search: the portable
// parts of the list, without a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "listctrl/list_layout.h"
#include "listctrl/type_ahead.h"

// Readable failures.
void PrintTo(const ListHit& hit, std::ostream* out)
{
    *out << "row " << hit.row << ", position " << hit.position;
}
void PrintTo(const HeaderHit& hit, std::ostream* out)
{
    *out << "position " << hit.position << ", edge " << hit.edge;
}

namespace {

constexpr int kHeader = 20;
constexpr int kRow = 19;

// "Password" 100, "Entropy" 55, "Phonetics" 200 pixels; 30 rows.
class ListLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const auto& [title, width] :
             {std::pair{"Password", 100}, std::pair{"Entropy", 55}, std::pair{"Phonetics", 200}}) {
            model.AddColumn(title, width, -1, false, FormatText, 0);
        }
        for (int row = 0; row < 30; ++row) {
            model.AddItem("r" + std::to_string(row), -1, FormatText, 0);
        }
    }
    ListLayout At(int scrollX, int scrollY) const
    {
        return ListLayout(model, ListViewport{400, 300, scrollX, scrollY},
                          ListSizes{kRow, kHeader});
    }

    ListModel model;
};

// At a whole row and between two rows (a page down: 14 rows and 13 pixels),
// the row under a point is the one painted there: the first visible row at
// the header's bottom, the rest below it.
TEST_F(ListLayoutTest, CellsAreFoundWhereTheyArePainted)
{
    for (const int scrollY : {0, 14 * kRow, 14 * kRow + 13}) {
        const ListLayout layout = At(0, scrollY);
        const int first = scrollY / kRow;
        ASSERT_EQ(layout.FirstVisibleRow(), first);
        EXPECT_EQ(layout.RowRect(first + 2).top, kHeader + 2 * kRow);
        const struct {
            ListPoint point;
            ListHit hit;
        } kCases[] = {
            {{50, kHeader - 1}, {-1, -1}}, // the header
            {{50, kHeader}, {first, 0}},   // the first row's top line
            {{0, 30}, {first, -1}},        // a column's edges belong to no cell
            {{99, 30}, {first, -1}},       //
            {{101, 30}, {first, 1}},       //
            {{200, kHeader + 2 * kRow + 18}, {first + 2, 2}},
            {{200, kHeader + 3 * kRow}, {first + 3, 2}},
            {{360, 60}, {first + 2, -1}}, // right of the columns
        };
        for (const auto& c : kCases) {
            EXPECT_EQ(layout.HitTestCell(c.point), c.hit)
                << scrollY << ": " << c.point.x << "," << c.point.y;
        }
    }
    // Past the last row there is none, though the rows area goes on.
    EXPECT_EQ(At(0, 14 * kRow + 13).HitTestCell({50, kHeader + 16 * kRow}).row, -1);
}

// A band drawn over the rows painted second to fourth covers those rows,
// whatever part of a row the position passes.
TEST_F(ListLayoutTest, BandCoversThePaintedRows)
{
    for (const int scrollY : {0, 14 * kRow + 13}) {
        const ListLayout layout = At(0, scrollY);
        const ListPoint from = layout.ToContent({200, kHeader + kRow + kRow / 2});
        const ListPoint to = layout.ToContent({180, kHeader + 3 * kRow + kRow / 2});
        int first = -1;
        int last = -1;
        ASSERT_TRUE(layout.RowsCovered({to.x, from.y, from.x, to.y}, first, last));
        const int top = layout.FirstVisibleRow();
        EXPECT_EQ(first, top + 1) << scrollY;
        EXPECT_EQ(last, top + 3) << scrollY;
        EXPECT_EQ(layout.ToClient({0, from.y, 1, to.y}).top, kHeader + kRow + kRow / 2);
    }
    int first = 0;
    int last = 0;
    EXPECT_FALSE(At(0, 0).RowsCovered({400, 40, 420, 60}, first, last)) << "right of the columns";
}

// Each right edge grabs from 5 pixels left of it to 4 right; right of an
// edge that is not one of the last two, a column dragged to nothing after it
// is the one grabbed, so it can be widened again.
TEST_F(ListLayoutTest, TitlesAndTheirEdgesAreFound)
{
    constexpr unsigned kLeft = HeaderHit::kOnEdge | HeaderHit::kLeftOfEdge;
    constexpr unsigned kRight = HeaderHit::kOnEdge | HeaderHit::kRightOfEdge;
    const struct {
        int scrollX;
        int x;
        HeaderHit hit;
    } kCases[] = {
        {0, 50, {0, 0}},      {0, 94, {0, 0}},      {0, 95, {0, kLeft}},  {0, 104, {0, kRight}},
        {0, 105, {1, 0}},     {0, 150, {1, kLeft}}, {0, 159, {1, kLeft}}, {0, 160, {2, 0}},
        {0, 355, {2, kLeft}}, {0, 360, {-1, 0}},    {30, 68, {0, kLeft}}, {30, 20, {0, 0}},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(At(c.scrollX, 0).HitTestHeader({c.x, 10}), c.hit) << c.scrollX << ": " << c.x;
    }
    EXPECT_EQ(At(0, 0).HitTestHeader({50, kHeader + 1}), HeaderHit{}) << "below the header";
    model.SetColumnWidth(1, 0);
    EXPECT_EQ(At(0, 0).HitTestHeader({102, 10}), (HeaderHit{1, kRight}));
    EXPECT_EQ(At(0, 0).ColumnAt(99), 0);
    EXPECT_EQ(At(0, 0).ColumnAt(100), 2);
    EXPECT_EQ(At(0, 0).ColumnAt(390), 2) << "right of all: the last";
}

// A new letter searches from the top; the same one again goes on after the
// focus; another within the pause extends the text, and a focus row that
// already starts with it stays. The column searched is the sort column.
TEST(TypeAhead, FindsByTheFirstLettersOfTheSortColumn)
{
    ListModel model;
    model.AddColumn("Password", 100, -1, false, FormatText, 0);
    model.AddColumn("Other", 100, -1, false, FormatText, 0);
    for (const char* text : {"ma", "kb", "mc", "kd", "ke1"}) {
        model.SetItemText(model.AddItem(text, -1, FormatText, 0), 1, "x");
    }
    const struct {
        char typed;
        std::uint32_t now;
        int focus;
        int found;
    } kSteps[] = {
        {'K', 1000, -1, 1}, {'K', 1100, 1, 3}, {'E', 1200, 3, 4},  {'E', 1300, 4, -1},
        {'M', 3000, 4, 0},  {'M', 3900, 0, 2}, {'C', 4000, 2, -1}, {'A', 4100, 2, -1},
        {'A', 9000, 2, -1}, {'M', 9800, 2, 0}, {'C', 10599, 0, 2},
    };
    TypeAhead search;
    for (const auto& step : kSteps) {
        EXPECT_EQ(search.Find(step.typed, step.now, step.focus, model), step.found)
            << step.typed << " at " << step.now;
    }
    // "ma" is the one row whose other text starts with a "k".
    model.SetItemText(0, 1, "kz");
    ASSERT_TRUE(model.SortByColumn(1));
    EXPECT_EQ(model.GetItemText(search.Find('K', 20000, -1, model), 0), "ma");
}

// The sort column is a data column: moving the columns about changes where
// it is shown, not which texts are searched.
TEST(TypeAhead, SearchesTheSortColumnWhereverItIsShown)
{
    for (const int sortColumn : {-1, 0, 1, 2}) {
        ListModel model;
        for (const char* title : {"Password", "Entropy", "Phonetics"}) {
            model.AddColumn(title, 100, -1, false, FormatText, 0);
        }
        // Row n starts with "k" in data column n only.
        const char* const kRows[][3] = {{"k0", "a0", "b0"}, {"c1", "k1", "d1"}, {"e2", "f2", "k2"}};
        for (const auto& texts : kRows) {
            const int row = model.AddItem(texts[0], -1, FormatText, 0);
            model.SetItemText(row, 1, texts[1]);
            model.SetItemText(row, 2, texts[2]);
        }
        model.MoveColumn(2, 0); // shown as "Phonetics", "Password", "Entropy"
        if (sortColumn >= 0) {
            ASSERT_TRUE(model.SortByColumn(model.FindColumn(sortColumn)));
        }
        TypeAhead search;
        const int index = std::max(sortColumn, 0);
        EXPECT_EQ(model.GetItemText(search.Find('K', 0, -1, model), index),
                  "k" + std::to_string(index))
            << sortColumn;
    }
}

} // namespace
