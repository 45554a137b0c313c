// The real dialog's list as a screen reader follows it: the rows a batch
// adds, and a click on one of them.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"
#include "tests/app/dialog_runner.h"
#include "tests/listctrl/accessible_probe.h"

namespace {

using namespace accessible_probe;

TEST(AccessibleDialogTest, BatchRowsAreNamedChildrenAndAClickFocusesOne)
{
    ClearSettings();
    StoreNumber("Count", 5);
    EventListener listener;
    DialogRunner dialog("");
    ASSERT_TRUE(dialog.WaitForBatch("5 password(s) created."));
    const HWND list = GetDlgItem(dialog.Window(), IDC_PASSWORD_LIST);
    const std::vector<std::string> passwords = dialog.Passwords();
    ASSERT_EQ(passwords.size(), 5u);

    // The object is asked on the dialog's thread, the only one it answers on.
    std::string listName;
    std::vector<std::pair<std::string, long>> rows; // each row's name and state
    int secondRowY = 0;
    const auto readList = [&] {
        PasswordListControl& control = dialog.Object().List();
        const Held object(ObjectOf(control, ROLE_SYSTEM_LIST));
        listName = object.Name(CHILDID_SELF);
        rows.clear();
        long count = 0;
        object->get_accChildCount(&count);
        for (long id = 1; id <= count; ++id) {
            if (object.Role(id) == ROLE_SYSTEM_LISTITEM) {
                rows.emplace_back(object.Name(id), object.State(id));
            }
        }
        secondRowY = control.Look().headerHeight + control.Look().rowHeight * 3 / 2;
    };
    dialog.OnDialogThread(readList);
    EXPECT_EQ(listName, "Passwords"); // the group box around it
    ASSERT_EQ(rows.size(), 5u);
    // Each new row was selected and announced, and nobody's focus was taken.
    const std::vector<WinEvent> batch = listener.Heard(list);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const LONG id = static_cast<LONG>(row) + 1;
        EXPECT_EQ(rows[row].first.rfind(passwords[row] + ", ", 0), 0u) << rows[row].first;
        EXPECT_EQ(Count(batch, EVENT_OBJECT_CREATE, id), 1) << id;
        EXPECT_EQ(Count(batch, EVENT_OBJECT_SELECTION, id), 1) << id;
    }
    EXPECT_EQ(Count(batch, EVENT_OBJECT_FOCUS), 0);
    EXPECT_EQ(rows[4].second & kSelectedAndFocused, STATE_SYSTEM_SELECTED);

    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, secondRowY));
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(20, secondRowY));
    dialog.OnDialogThread(readList);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1].second & kSelectedAndFocused, kSelectedAndFocused);
    EXPECT_EQ(rows[4].second & kSelectedAndFocused, 0);
    const std::vector<WinEvent> clicked = listener.Heard(list);
    EXPECT_EQ(Count(clicked, EVENT_OBJECT_FOCUS, 2), 1);
    EXPECT_EQ(Count(clicked, EVENT_OBJECT_SELECTION, 2), 1);

    EXPECT_EQ(dialog.Close(WM_COMMAND, IDOK), 1);
    ClearSettings();
}

} // namespace
