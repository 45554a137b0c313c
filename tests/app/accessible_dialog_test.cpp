// The real dialog's list as a screen reader follows it: the rows a batch
// adds, and a click on one of them.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/app/dialog_runner.h"
#include "tests/listctrl/accessible_probe.h"

namespace {

using namespace accessible_probe;

constexpr long kSelectedAndFocused = STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED;

TEST(AccessibleDialogTest, BatchRowsAreNamedChildrenAndAClickFocusesOne)
{
    ClearSettings();
    StoreNumber("Count", 5);
    EventListener listener;
    ASSERT_TRUE(listener.Hooked());
    DialogRunner dialog("");
    ASSERT_TRUE(dialog.WaitForBatch("5 password(s) created."));
    const HWND list = GetDlgItem(dialog.Window(), IDC_PASSWORD_LIST);
    const std::vector<std::string> passwords = dialog.Passwords();
    ASSERT_EQ(passwords.size(), 5u);

    // The object is asked on the dialog's thread, the only one it answers on.
    std::string listName;
    std::vector<std::string> rowNames;
    std::vector<long> states;
    int secondRowY = 0;
    const auto readList = [&] {
        rowNames.clear();
        states.clear();
        PasswordListControl& control = dialog.Object().List();
        const Held object(ObjectOf(control, ROLE_SYSTEM_LIST));
        listName = Name(object.get(), CHILDID_SELF);
        long count = 0;
        object->get_accChildCount(&count);
        for (long id = 1; id <= count; ++id) {
            if (Role(object.get(), id) == ROLE_SYSTEM_LISTITEM) {
                rowNames.push_back(Name(object.get(), id));
                states.push_back(State(object.get(), id));
            }
        }
        secondRowY = control.Model().headerHeight + control.Model().rowHeight * 3 / 2;
    };
    dialog.OnDialogThread(readList);
    EXPECT_EQ(listName, "Passwords"); // the group box around it
    ASSERT_EQ(rowNames.size(), 5u);
    for (std::size_t row = 0; row < rowNames.size(); ++row) {
        EXPECT_EQ(rowNames[row].rfind(passwords[row] + ", ", 0), 0u) << rowNames[row];
        EXPECT_NE(rowNames[row].find(" bit, "), std::string::npos) << rowNames[row];
    }
    // Each new row was selected and announced, and nobody's focus was taken.
    EXPECT_EQ(states.back() & kSelectedAndFocused, STATE_SYSTEM_SELECTED);
    const std::vector<WinEvent> batch = listener.Heard(list);
    for (long id = 1; id <= 5; ++id) {
        EXPECT_TRUE(Contains(batch, EVENT_OBJECT_CREATE, id)) << id;
        EXPECT_TRUE(Contains(batch, EVENT_OBJECT_SELECTION, id)) << id;
    }
    EXPECT_EQ(Count(batch, EVENT_OBJECT_FOCUS), 0);

    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, secondRowY));
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(20, secondRowY));
    dialog.OnDialogThread(readList);
    ASSERT_EQ(states.size(), 5u);
    EXPECT_EQ(states[1] & kSelectedAndFocused, kSelectedAndFocused);
    EXPECT_EQ(states[4] & kSelectedAndFocused, 0);
    const std::vector<WinEvent> clicked = listener.Heard(list);
    EXPECT_TRUE(Contains(clicked, EVENT_OBJECT_FOCUS, 2));
    EXPECT_TRUE(Contains(clicked, EVENT_OBJECT_SELECTION, 2));

    EXPECT_EQ(dialog.Close(WM_COMMAND, IDOK), 1);
    ClearSettings();
}

} // namespace
