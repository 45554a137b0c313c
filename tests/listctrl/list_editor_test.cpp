// The list's in-place editors under Wine: opened by a click on an editable
// cell, ended by a key or by the focus going elsewhere.
#include "tests/listctrl/list_window_fixture.h"

namespace list_window_test {
namespace {

// Editors open on a click in cell mode, one column right of "Phonetics".
class EditorTest : public ListWindowTest {
protected:
    void SetUp() override
    {
        ListWindowTest::SetUp();
        model().SetFocusCellMode(true);
        model().SetColumnWidth(2, 100);
    }
    static constexpr int kFirstX = 255 + 30;  // inside column 3
    static constexpr int kSecondX = 335 + 30; // inside column 4
};

TEST_F(EditorTest, EditBoxWritesOnEnterKeepsOnEscapeAndGoesOnWithTab)
{
    model().AddColumn("Note", 80, -1, false, FormatEdit, 0);
    model().AddColumn("Count", 60, -1, false, FormatEdit, FlagNumber | FlagNegative);
    AddRows({"a"});
    model().SetItemText(0, 3, "old");
    model().SetItemText(0, 4, "12");
    SetFocus(window);

    HWND edit = OpenEditor(kFirstX, 0, "Edit");
    const RECT cell{255, list.Look().headerHeight, 255 + 80 - 1,
                    list.Look().headerHeight + list.Look().rowHeight};
    const RECT placed = InList(edit);
    EXPECT_EQ(placed.left, cell.left + 2);
    EXPECT_EQ(placed.top, cell.top + 3);
    EXPECT_EQ(placed.right, cell.right - 3);
    EXPECT_EQ(placed.bottom, cell.bottom - 2);
    EXPECT_EQ(TextOf(edit), "old");
    DWORD first = 9;
    DWORD last = 9;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&first),
                 reinterpret_cast<LPARAM>(&last));
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(last, 3u);
    SetWindowTextA(edit, "new");
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    EXPECT_EQ(model().GetItemText(0, 3), "new");
    EXPECT_EQ(Modified(0, 3), 1);
    EXPECT_EQ(GetFocus(), window);
    EXPECT_FALSE(IsWindowVisible(edit));

    edit = OpenEditor(kFirstX, 0, "Edit");
    SetWindowTextA(edit, "gone");
    SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    EXPECT_EQ(model().GetItemText(0, 3), "new");
    EXPECT_EQ(Modified(0, 3), 1);

    // Tab writes the cell and opens the next one's editor: a number there.
    edit = OpenEditor(kFirstX, 0, "Edit");
    SetWindowTextA(edit, "newer");
    SendMessageA(edit, WM_CHAR, '\t', 0);
    Pump();
    EXPECT_EQ(model().GetItemText(0, 3), "newer");
    edit = GetFocus();
    ASSERT_EQ(ClassOf(edit), "Edit");
    EXPECT_EQ(InList(edit).left, 335 + 2);
    EXPECT_EQ(TextOf(edit), "12");
    for (const auto& [typed, after] : {std::pair{'-', "-12"}, std::pair{'-', "12"},
                                       std::pair{'.', "12"}, std::pair{'x', "12"}}) {
        SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(typed), 0);
        EXPECT_EQ(TextOf(edit), after) << typed;
    }
    SendMessageA(edit, WM_CHAR, '7', 0); // over the whole text, still selected
    // Losing the focus ends the edit as well, and keeps what was typed.
    SetFocus(window);
    EXPECT_EQ(model().GetItemText(0, 4), "7");
    EXPECT_EQ(Modified(0, 4), 1);
}

TEST_F(EditorTest, DropDownListsChooseFromTheCellsChoices)
{
    model().AddColumn("Pick", 80, -1, false, FormatCombo, 0);
    model().AddColumn("Kind", 60, -1, false, FormatCombo, FlagEditableList);
    model().SetColumnComboList(3, {"gamma", "alpha", "beta"});
    model().SetColumnComboList(4, {"one", "two"});
    AddRows({"a"});
    model().SetItemText(0, 3, "beta");
    SetFocus(window);

    const HWND combo = OpenEditor(kFirstX, 0, "ComboBox");
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1); // sorted: alpha, beta, gamma
    // The box sits on its cell as the list paints it; the item is highlighted.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    const RECT client = ClientOf(combo);
    const Canvas box(client.right, client.bottom);
    SendMessageA(combo, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(box.Dc()), PRF_CLIENT);
    const Picture under(window);
    const RECT place = InList(combo);
    int differing = 0;
    for (int y = 0; y < client.bottom; ++y) {
        differing += box.At(0, y) != under.At(place.left, place.top + y);
    }
    EXPECT_EQ(differing, 0);
    // Right of the short text, left of the button that overlaps the item.
    EXPECT_EQ(box.At(info.rcItem.right - 6, (info.rcItem.top + info.rcItem.bottom) / 2),
              GetSysColor(COLOR_HIGHLIGHT));

    SendMessageA(combo, CB_SETCURSEL, 2, 0);
    SendMessageA(combo, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    EXPECT_EQ(model().GetItemText(0, 3), "gamma");
    EXPECT_EQ(Modified(0, 3), 1);

    // An editable box keeps what was typed when the focus goes elsewhere.
    const HWND editable = OpenEditor(kSecondX, 0, "Edit"); // its field has the focus
    const HWND box2 = GetParent(editable);
    EXPECT_EQ(ClassOf(box2), "ComboBox");
    SetWindowTextA(box2, "three");
    SetFocus(window);
    EXPECT_EQ(model().GetItemText(0, 4), "three");
    EXPECT_EQ(Modified(0, 4), 1);
}

TEST_F(EditorTest, DatePickerEndsWithThePickedDateOrNone)
{
    model().AddColumn("Day", 80, -1, false, FormatDateTime, FlagDateOnly);
    model().AddColumn("Due", 60, -1, false, FormatDateTime, FlagDateOnly | FlagNoDate);
    AddRows({"a"});
    model().SetItemText(0, 3, "20240309000000");
    SetFocus(window);

    HWND picker = OpenEditor(kFirstX, 0, DATETIMEPICK_CLASSA);
    SYSTEMTIME time{};
    ASSERT_EQ(SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)),
              GDT_VALID);
    EXPECT_EQ(time.wYear * 10000 + time.wMonth * 100 + time.wDay, 20240309);
    time = SYSTEMTIME{2025, 12, 0, 31, 13, 45, 0, 0};
    SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    SendMessageA(picker, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    EXPECT_EQ(model().GetItemText(0, 3), "20251231000000"); // the date alone
    EXPECT_EQ(Modified(0, 3), 1);

    // An empty cell opens without a date and stays without one.
    picker = OpenEditor(kSecondX, 0, DATETIMEPICK_CLASSA);
    EXPECT_EQ(SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)),
              GDT_NONE);
    SendMessageA(picker, WM_KEYDOWN, VK_TAB, 0);
    Pump();
    EXPECT_EQ(model().GetItemText(0, 4), "");
    EXPECT_EQ(Modified(0, 4), 1);
}

} // namespace
} // namespace list_window_test
