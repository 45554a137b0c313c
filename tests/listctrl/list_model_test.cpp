#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "listctrl/list_model.h"
#include "listctrl/list_row.h"

namespace {

using Texts = std::vector<std::string>;
using Ints = std::vector<int>;
constexpr unsigned kShift = kModifierShift;
constexpr unsigned kCtrl = kModifierCtrl;

// Records the hooks; each notification keeps the row as the parent saw it.
class RecordingHost : public ListModelHost {
public:
    struct Seen {
        int code;
        int row;
        int column;
        ListRow cells;
    };

    // What the scroll bars, the picture and the view were last brought up to.
    void ResetScrollBars() override
    {
        scrolledLayout = {list->GetItemCount(), list->GetTotalWidth()};
    }
    void Repaint() override { paintedRows = list->GetItemCount(); }
    void RepaintRow(int row) override { repaintedRows.push_back(row); }
    void FollowFocus() override { followedFocus = list->FocusRow(); }
    std::intptr_t Notify(const ListEvent& event) override
    {
        events.push_back({event.code, event.row, event.column, {}});
        list->GetItem(event.row, events.back().cells);
        return 0;
    }
    int SystemImageWidth() override { return 16; }
    void RowsChanged(ListChange change, int row) override { changes.emplace_back(change, row); }

    const ListModel* list = nullptr;
    std::vector<std::pair<ListChange, int>> changes;
    std::vector<Seen> events;
    Ints repaintedRows;
    Ints scrolledLayout;
    int paintedRows = -1;
    int followedFocus = -1;
};

class ListModelTest : public ::testing::Test {
protected:
    ListModelTest() { host.list = &list; }

    void AddPasswordColumns()
    {
        list.AddColumn("Password", 100, -1, false, FormatText, 0);
        list.AddColumn("Entropy", 55, -1, false, FormatText, 0);
        list.AddColumn("Phonetics", 200, -1, false, FormatText, 0);
    }

    void AddRows(const Texts& texts)
    {
        for (const std::string& text : texts) {
            list.AddItem(text, 0, FormatText, 0);
        }
    }

    Texts ColumnTexts(int index) const
    {
        Texts texts;
        for (int row = 0; row < list.GetItemCount(); ++row) {
            texts.push_back(list.GetItemText(row, index));
        }
        return texts;
    }

    Ints Selected() const
    {
        Ints rows;
        list.GetSelectedItems(rows);
        return rows;
    }

    RecordingHost host;
    ListModel list{&host};
};

TEST(ListFlags, NormaliseDropsContradictingBits)
{
    const std::uint32_t cases[][2] = {
        {FlagCentre | FlagLeft | FlagRight, FlagCentre},
        {FlagRight | FlagLeft, FlagRight},
        {FlagLeft | FlagReadOnly | FlagPlainProgress, FlagLeft | FlagReadOnly | FlagPlainProgress},
        {FlagDateOnly | FlagTimeOnly | FlagNoDate, FlagDateOnly | FlagNoDate},
        {FlagNumber | FlagUpperCase | FlagCompare, FlagNumber | FlagCompare},
        {FlagDecimal | FlagUpperCase | FlagNegative, FlagDecimal | FlagNegative},
        {FlagUpperCase | FlagNegative | FlagCompare, FlagUpperCase},
        {FlagEditableList | FlagDateOnly | FlagTimeOnly | FlagNoDate, FlagEditableList},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormaliseFlags(c[0]), c[1]) << std::hex << c[0];
    }
}

TEST_F(ListModelTest, ColumnsAndCellsAnswerTheirFieldsOrNothing)
{
    EXPECT_EQ(list.AddItem("lost", 0, FormatText, 0), -1);
    EXPECT_EQ(list.GetItemCount(), 0);
    AddPasswordColumns();
    list.AddColumn("", 40, 3, true, FormatCheckBox, FlagRight | FlagNegative | FlagReadOnly);
    EXPECT_EQ(host.scrolledLayout, (Ints{0, list.GetTotalWidth()}));
    EXPECT_EQ(list.GetColumnWidth(3), 16 + 5);
    EXPECT_EQ(list.GetColumnFlags(3), FlagCentre | FlagReadOnly);
    EXPECT_EQ(list.GetTotalWidth(), 100 + 55 + 200 + 21 - 1);
    EXPECT_TRUE(list.SetColumnWidth(3, 90)); // fixed
    EXPECT_TRUE(list.SetColumnWidth(1, 70));
    EXPECT_EQ((Ints{list.GetColumnWidth(3), list.GetColumnWidth(1)}), (Ints{21, 70}));

    int cellFont = 0;
    list.SetColumnComboList(3, {"yes", "no"});
    AddRows({"Kp3x"});
    list.AddItem("own", 2, FormatEdit, FlagUpperCase | FlagCompare);
    list.SetItemComboList(1, 3, {"maybe"});
    list.SetItemFont(1, 3, &cellFont);
    Texts choices;
    EXPECT_EQ(list.GetItemFormat(0, 3), FormatCheckBox);
    EXPECT_EQ(list.GetItemFlags(0, 3), FlagCentre | FlagReadOnly);
    EXPECT_TRUE(list.GetItemComboList(0, 3, choices));
    EXPECT_EQ(choices, (Texts{"yes", "no"}));
    EXPECT_EQ(list.GetItemFont(0, 3), nullptr); // the list's own
    EXPECT_EQ(list.GetItemFormat(1, 3), FormatEdit);
    EXPECT_EQ(list.GetItemFlags(1, 3), FlagUpperCase);
    EXPECT_TRUE(list.GetItemComboList(1, 3, choices));
    EXPECT_EQ(choices, Texts{"maybe"});
    EXPECT_EQ(list.GetItemFont(1, 3), &cellFont);
    EXPECT_EQ((Ints{list.GetItemImage(1, 0), list.GetItemImage(1, 1)}), (Ints{2, -1}));

    ListCell cell;
    ListRow row;
    EXPECT_EQ(list.GetItemText(2, 0) + list.GetItemText(0, 4), "");
    const bool refused[] = {list.SetItemText(-1, 0, "x"),
                            list.GetSubItem(0, 4, cell),
                            list.GetItem(2, row),
                            list.DeleteItem(2),
                            list.SelectItem(2, -1, 0),
                            list.SetColumnWidth(-1, 10),
                            list.GetItemComboList(0, 9, choices),
                            list.MoveColumn(0, 4)};
    for (std::size_t i = 0; i < std::size(refused); ++i) {
        EXPECT_FALSE(refused[i]) << i;
    }
    EXPECT_EQ(list.GetItemImage(2, 0), -1);
    EXPECT_EQ(list.GetItemFont(0, 9), nullptr);
    EXPECT_EQ((Ints{list.GetItemFormat(5, 0), list.GetColumnWidth(4)}), (Ints{0, 0}));
    EXPECT_EQ(list.FindColumn(7), -1);
}

TEST_F(ListModelTest, ClicksWithShiftAndCtrlFollowTheSelectionRules)
{
    AddPasswordColumns();
    AddRows({"a", "b", "c", "d", "e", "f"});
    struct Step {
        int row;
        unsigned modifiers;
        Ints selected;
        int anchor;
        bool notified;
    };
    const Step steps[] = {
        {1, 0, {1}, 1, true},
        {4, kShift, {1, 2, 3, 4}, 1, true},
        {2, kShift, {1, 2}, 1, true},
        {2, kCtrl, {1}, 2, false},
        {5, kCtrl, {1, 5}, 5, true},
        {5, 0, {5}, 5, true},
        {5, 0, {5}, 5, false},
        {5, kShift, {5}, 5, false},
        {3, kCtrl | kShift, {3, 4, 5}, 5, true},
    };
    for (const Step& step : steps) {
        const std::size_t before = host.events.size();
        host.followedFocus = -1;
        ASSERT_TRUE(list.SelectItem(step.row, 1, step.modifiers));
        EXPECT_EQ(host.followedFocus, step.row);
        EXPECT_EQ(Selected(), step.selected) << "row " << step.row;
        EXPECT_EQ(list.AnchorRow(), step.anchor) << "row " << step.row;
        EXPECT_EQ(list.FocusRow(), step.row);
        EXPECT_EQ(list.FocusColumn(), step.selected.size() < 2 ? 1 : -1);
        EXPECT_EQ(host.events.size(), before + step.notified) << "row " << step.row;
    }
    EXPECT_EQ(host.events.back().code, NotifySelected);

    list.ResetSelection();
    EXPECT_EQ((Ints{list.AnchorRow(), list.FocusRow()}), (Ints{-1, -1}));
    list.SelectItem(2, -1, kShift);
    EXPECT_EQ(Selected(), Ints{2});

    // Band and select-all change the selection without a word to the parent.
    const std::size_t heard = host.events.size();
    EXPECT_TRUE(list.SelectRows(9, 4));
    EXPECT_EQ(Selected(), (Ints{4, 5}));
    EXPECT_EQ((Ints{list.AnchorRow(), list.FocusRow(), list.FocusColumn()}), (Ints{4, 5, -1}));
    EXPECT_FALSE(list.SelectRows(6, 9));
    EXPECT_EQ((Ints{list.GetSelectedCount(), list.AnchorRow()}), (Ints{0, -1}));
    EXPECT_TRUE(list.SelectAll());
    EXPECT_EQ(list.GetSelectedCount(), 6);
    EXPECT_EQ(host.events.size(), heard);

    list.SetSingleSelect(true);
    list.SelectItem(4, -1, kShift);
    list.SelectItem(0, -1, kCtrl);
    EXPECT_FALSE(list.SelectAll() || list.SelectRows(0, 3));
    EXPECT_EQ(Selected(), Ints{0});
}

// Ctrl with an arrow key and a screen reader move the focus alone; the window
// hears of it, as of every other change, and an anchor set from outside is
// where the next Shift-click starts.
TEST_F(ListModelTest, FocusAndAnchorMoveAloneAndAreToldOf)
{
    AddPasswordColumns();
    AddRows({"a", "b", "c", "d"});
    list.SelectItem(0, -1, 0);
    host.changes.clear();
    host.paintedRows = -1;
    list.SetFocusCell(2, 1);
    EXPECT_EQ((Ints{list.FocusRow(), list.FocusColumn(), list.EffectiveFocusRow()}),
              (Ints{2, 1, 2}));
    EXPECT_EQ(Selected(), Ints{0});
    EXPECT_EQ(host.changes, (std::vector<std::pair<ListChange, int>>{{ListChange::Focus, 2}}));
    EXPECT_EQ(host.paintedRows, 4);
    list.SetFocusCell(4, 1);
    EXPECT_EQ((Ints{list.FocusRow(), list.FocusColumn(), list.EffectiveFocusRow()}),
              (Ints{-1, -1, 0}));

    list.SetAnchorRow(3);
    EXPECT_EQ(host.changes.back(), std::make_pair(ListChange::Focus, 3));
    list.SelectItem(1, -1, kShift);
    EXPECT_EQ(Selected(), (Ints{1, 2, 3}));
}

TEST_F(ListModelTest, EventsNameTheColumnByDataIndexAfterAMove)
{
    AddPasswordColumns();
    AddRows({"a"});
    list.SelectItem(0, 1, 0);
    ASSERT_TRUE(list.MoveColumn(2, 0)); // Phonetics, Password, Entropy
    EXPECT_EQ(list.FocusColumn(), 2);
    EXPECT_EQ(list.GetColumnIndex(0), 2);
    EXPECT_EQ(list.FindColumn(1), 2);
    list.ResetSelection();
    list.SelectItem(0, 0, 0);
    list.SelectItem(0, -1, kCtrl);
    list.SelectItem(0, -1, kCtrl);
    ASSERT_EQ(host.events.size(), 3u);
    EXPECT_EQ(host.events[0].column, 1);
    EXPECT_EQ(host.events[1].column, 2);
    EXPECT_EQ(host.events[2].column, 0); // no column
}

TEST_F(ListModelTest, TitleClicksSortReverseAndClearTheSelection)
{
    AddPasswordColumns();
    const Texts entropies = {"60 bit", "100 bit", "9 bit", "60 bit", "12 bit"};
    AddRows({"q", "B", "z", "a", "\xE9t\xE9"});
    for (int row = 0; row < 5; ++row) {
        list.SetItemText(row, 1, entropies[row]);
    }
    list.SelectItem(3, 0, 0);

    ASSERT_TRUE(list.SortByColumn(1));
    EXPECT_EQ(ColumnTexts(1), (Texts{"100 bit", "12 bit", "60 bit", "60 bit", "9 bit"}));
    EXPECT_TRUE(list.SortColumn() == 1 && list.SortAscending());
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ((Ints{list.AnchorRow(), list.FocusRow()}), (Ints{-1, -1}));

    // The second click reverses the rows exactly, ties included.
    Texts reversed = ColumnTexts(0);
    std::reverse(reversed.begin(), reversed.end());
    ASSERT_TRUE(list.SortByColumn(1));
    EXPECT_EQ(ColumnTexts(0), reversed);
    EXPECT_FALSE(list.SortAscending());

    ASSERT_TRUE(list.SortByColumn(0));
    EXPECT_EQ(ColumnTexts(0), (Texts{"B", "a", "q", "z", "\xE9t\xE9"}));
    EXPECT_TRUE(list.SortColumn() == 0 && list.SortAscending());
    EXPECT_EQ(host.events.size(), 1u);

    list.SetSortEnabled(false);
    EXPECT_FALSE(list.SortByColumn(1));
    EXPECT_EQ(list.SortColumn(), 0);

    list.SelectItem(0, -1, 0);
    list.SelectItem(4, -1, kCtrl);
    list.SortItems(1);
    EXPECT_EQ(ColumnTexts(1).front(), "100 bit");
    EXPECT_EQ(Selected(), (Ints{0, 4}));
    EXPECT_EQ(list.FocusRow(), 4);
    EXPECT_EQ(list.SortColumn(), 0);
}

TEST_F(ListModelTest, ColumnAddedAfterRowsLeavesThemWithoutCells)
{
    AddPasswordColumns();
    AddRows({"old1", "old2"});
    list.AddColumn("Note", 50, -1, false, FormatText, 0);
    list.AddItem("new", 0, FormatText, 0);
    list.SetItemText(2, 3, "m");
    EXPECT_EQ(list.GetItemText(0, 3), "");
    EXPECT_FALSE(list.SetItemText(1, 3, "x"));
    // Texts that sort after "m" in every cell the old row does have.
    for (int index = 0; index < 3; ++index) {
        list.SetItemText(0, index, "z");
    }
    list.SortItems(3);
    EXPECT_EQ(list.GetItemText(2, 0), "new");
}

TEST_F(ListModelTest, DeletingRowsKeepsTheSelectionOnTheSameRows)
{
    AddPasswordColumns();
    AddRows({"A", "B", "C", "D", "E"});
    for (int row : {0, 2, 4, 1, 1}) { // the last Ctrl-click leaves B focused, unselected
        list.SelectItem(row, -1, row == 0 ? 0 : kCtrl);
    }

    ASSERT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(Selected(), (Ints{1, 3}));
    EXPECT_EQ((Ints{list.AnchorRow(), list.FocusRow()}), (Ints{0, 0}));
    ASSERT_TRUE(list.DeleteItem(3));
    EXPECT_EQ(ColumnTexts(0), (Texts{"B", "C", "D"}));
    EXPECT_EQ(Selected(), Ints{1});
    list.SetFocusCell(list.FocusRow(), 1);
    ASSERT_TRUE(list.DeleteItem(0));
    EXPECT_EQ((Ints{list.AnchorRow(), list.FocusRow(), list.FocusColumn()}), (Ints{-1, -1, -1}));
    EXPECT_EQ(Selected(), Ints{0});
    EXPECT_EQ(host.scrolledLayout, (Ints{2, list.GetTotalWidth()}));
    list.SelectItem(1, -1, kShift); // the anchor starts afresh
    EXPECT_EQ(Selected(), Ints{1});

    list.DeleteAllItems();
    EXPECT_EQ((Ints{list.GetItemCount(), list.GetSelectedCount(), list.AnchorRow()}),
              (Ints{0, 0, -1}));
    ASSERT_EQ(list.GetColumnCount(), 3);
    EXPECT_EQ(list.GetColumnWidth(2), 200);
    EXPECT_EQ(list.AddItem("again", 0, FormatText, 0), 0);
}

TEST_F(ListModelTest, TogglesFollowTheCellFormatAndSpareReadOnlyCells)
{
    list.AddColumn("Mark", 20, -1, false, FormatText, 0);
    struct Case {
        int format;
        std::uint32_t flags;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {FormatCheckBox, 0, "5", "0"},   {FormatCheckBox, 0, "-3", "1"},
        {FormatCheckBox, 0, "", "1"},    {FormatCheckBox3, 0, "-1", "0"},
        {FormatCheckBox3, 0, "0", "1"},  {FormatCheckBox3, 0, "1", "-1"},
        {FormatCheckBox3, 0, "7", "-1"}, {FormatCheckBox, FlagReadOnly, "0", "0"},
        {FormatEdit, 0, "1", "1"},
    };
    for (const Case& c : cases) {
        const int row = list.AddItem(c.before, -1, c.format, c.flags);
        const bool changed = list.ToggleCheck(row, 0);
        EXPECT_EQ(list.GetItemText(row, 0), c.after) << c.format << " " << c.before;
        EXPECT_EQ(changed, std::string(c.before) != c.after);
        if (changed) {
            EXPECT_EQ(host.events.back().code, NotifyModified);
            EXPECT_EQ(host.events.back().row, row);
            EXPECT_EQ(host.repaintedRows.back(), row);
        }
    }
    EXPECT_EQ(host.events.size(), 7u);
}

TEST_F(ListModelTest, EndOfEditSetsTheCellByTheClosingKey)
{
    list.AddColumn("Date", 80, -1, false, FormatDateTime, 0);
    list.AddColumn("Note", 80, -1, false, FormatEdit, 0);
    const int row = list.AddItem("20230101000000", -1, 0, 0);
    list.SetItemText(row, 1, "old");
    const ListDateTime picked{2024, 2, 4, 29, 23, 59, 1, 500};
    struct Case {
        int position;
        int key;
        const char* text;
        const ListDateTime* date;
        const char* expected;
    };
    const Case cases[] = {
        {0, 9, "1", &picked, "20240229235901"},
        {0, 13, "0", &picked, ""},
        {1, 27, "typed", nullptr, "old"},
        {1, 13, "typed", nullptr, "typed"},
        {1, 0, "lost focus", nullptr, "lost focus"},
        {1, 46, "typed", nullptr, ""},
    };
    for (const Case& c : cases) {
        const std::size_t before = host.events.size();
        list.EndEdit(row, c.position, c.key, c.text, c.date);
        EXPECT_EQ(list.GetItemText(row, c.position), c.expected) << c.key;
        EXPECT_EQ(host.events.size(), before + (c.key != 27)) << c.key;
    }
    EXPECT_EQ(host.events.back().column, 1);

    const int locked = list.AddItem("kept", -1, FormatEdit, FlagReadOnly);
    EXPECT_FALSE(list.EndEdit(locked, 0, 13, "x", nullptr));
    EXPECT_EQ(list.GetItemText(locked, 0), "kept");
}

TEST_F(ListModelTest, DatesRoundTripThroughTheirText)
{
    list.AddColumn("When", 80, -1, false, FormatDateTime, 0);
    const int row = list.AddItem("", -1, 0, 0);
    ListDateTime date;
    EXPECT_FALSE(list.GetItemDate(row, 0, date));

    ASSERT_TRUE(list.SetItemDate(row, 0, {2024, 3, 6, 9, 14, 5, 7, 123}));
    EXPECT_EQ(list.GetItemText(row, 0), "20240309140507");
    ASSERT_TRUE(list.GetItemDate(row, 0, date));
    EXPECT_EQ(date, (ListDateTime{2024, 3, 0, 9, 14, 5, 7, 0}));

    list.SetItemText(row, 0, "1999");
    ASSERT_TRUE(list.GetItemDate(row, 0, date));
    EXPECT_EQ(date, ListDateTime{1999});
    EXPECT_FALSE(list.SetItemDate(row, 1, date));
}

TEST_F(ListModelTest, RowIsCompleteWhenTheParentHearsOfIt)
{
    AddPasswordColumns();
    EXPECT_EQ(AddSelectedRow(list, 0, {"aB3", "12 bit", "air - BIT - three"}), 0);
    EXPECT_EQ(AddSelectedRow(list, 0, {"cu9", "14 bit", "cup - up - nine"}), 1);
    EXPECT_EQ(host.paintedRows, 2);

    ASSERT_EQ(host.events.size(), 2u);
    const RecordingHost::Seen& second = host.events[1];
    EXPECT_EQ(second.code, NotifySelected);
    EXPECT_EQ(second.row, 1);
    ASSERT_EQ(second.cells.size(), 3u);
    EXPECT_EQ(second.cells[0].text + "|" + second.cells[1].text + "|" + second.cells[2].text,
              "cu9|14 bit|cup - up - nine");
    EXPECT_EQ(second.cells[0].image, 0);
    EXPECT_EQ(Selected(), Ints{1});

    ListModel bare;
    EXPECT_EQ(AddSelectedRow(bare, 0, {"aB3", "12 bit", "air - BIT - three"}), -1);
    bare.AddColumn("Password", 100, -1, false, FormatText, 0);
    EXPECT_EQ(AddSelectedRow(bare, 0, {"aB3", "12 bit", "air - BIT - three"}), 0);
    EXPECT_EQ(bare.GetItemText(0, 0), "aB3");
    EXPECT_TRUE(bare.IsSelected(0));
}

} // namespace
