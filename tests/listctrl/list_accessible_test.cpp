// What screen readers get from the list and the links: the objects asked as
// a reader asks them, and the events through a win-event listener.
#include <algorithm>
#include <tuple>

#include "tests/listctrl/accessible_probe.h"
#include "tests/listctrl/list_window_fixture.h"
#include "toolkit/hyperlink_label.h"

namespace list_window_test {
namespace {

using namespace accessible_probe;

class ListAccessibleTest : public ListWindowTest {};

// Rows and then the titles, as the list shows them on the screen.
TEST_F(ListAccessibleTest, ChildrenAreTheRowsAndTitlesAsTheListShowsThem)
{
    AddRows({"VmZ2wd634Z", "aB3", "cu9"}, "60 bit");
    AddRows(std::vector<std::string>(27, "row"));
    model().SetItemText(0, 2, "VOW - man - ZEN");
    const Held object(ObjectOf(list, ROLE_SYSTEM_LIST));
    ASSERT_NE(object, nullptr);
    long count = 0;
    EXPECT_EQ(object->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 30 + 3);
    EXPECT_EQ(object.Role(CHILDID_SELF), ROLE_SYSTEM_LIST);
    const long multiple = STATE_SYSTEM_MULTISELECTABLE | STATE_SYSTEM_EXTSELECTABLE;
    EXPECT_EQ(object.State(CHILDID_SELF) & multiple, multiple);
    EXPECT_EQ(object.Name(1), "VmZ2wd634Z, 60 bit, VOW - man - ZEN");
    EXPECT_EQ(object.Name(2), "aB3, 60 bit"); // no empty parts
    EXPECT_EQ(object.Action(1), "Double Click");
    EXPECT_EQ(object.Role(31), ROLE_SYSTEM_COLUMNHEADER);
    EXPECT_EQ(object.Name(31), "Password");
    EXPECT_EQ(object.Action(31), "Click");
    EXPECT_EQ(object.Role(34), -1); // no such child
    IDispatch* element = nullptr;
    EXPECT_EQ(object->get_accChild(Child(1), &element), S_FALSE); // an element, no object

    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const int header = list.Look().headerHeight;
    const int row = list.Look().rowHeight;
    long left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(object->accLocation(&left, &top, &width, &height, Child(2)), S_OK);
    EXPECT_EQ(std::vector<long>({left, top, width, height}),
              std::vector<long>({origin.x, origin.y + header + row, model().GetTotalWidth(), row}));
    EXPECT_FALSE(object.State(1) & STATE_SYSTEM_OFFSCREEN);
    EXPECT_TRUE(object.State(30) & STATE_SYSTEM_OFFSCREEN);
    // A point in the list's client area and the child there: the second row,
    // the second title, the list beside the rows; none outside.
    using Hit = std::tuple<int, int, long>;
    for (const auto& [x, y, id] : {Hit{20, RowY(1), 2}, Hit{120, header / 2, 30 + 2},
                                   Hit{380, RowY(1), CHILDID_SELF}, Hit{-5, RowY(1), -1}}) {
        VARIANT found{};
        object->accHitTest(origin.x + x, origin.y + y, &found);
        EXPECT_EQ(IdOf(found), id) << x << ", " << y;
    }
    // From a child in a direction: the answer and the child reached. Rows go
    // up and down, titles left and right.
    using Move = std::tuple<long, long, HRESULT, long>;
    for (const auto& [direction, from, answer, to] :
         {Move{NAVDIR_FIRSTCHILD, CHILDID_SELF, S_OK, 1},
          Move{NAVDIR_LASTCHILD, CHILDID_SELF, S_OK, 30}, Move{NAVDIR_DOWN, 1, S_OK, 2},
          Move{NAVDIR_PREVIOUS, 2, S_OK, 1}, Move{NAVDIR_NEXT, 30, S_FALSE, -1},
          Move{NAVDIR_RIGHT, 31, S_OK, 32}, Move{NAVDIR_LEFT, 31, S_FALSE, -1},
          Move{NAVDIR_FIRSTCHILD, 2, E_INVALIDARG, -1}}) {
        SCOPED_TRACE(std::to_string(direction) + " from " + std::to_string(from));
        VARIANT end{};
        EXPECT_EQ(object->accNavigate(direction, Child(from), &end), answer);
        EXPECT_EQ(IdOf(end), to);
    }

    // The header's order after a drag; a column dragged to nothing is no part.
    model().MoveColumn(2, 0);
    model().SetColumnWidth(2, 0);
    EXPECT_EQ(object.Name(1), "VOW - man - ZEN, VmZ2wd634Z");
    EXPECT_EQ(object.Name(31), "Phonetics");
    EXPECT_TRUE(object.State(33) & STATE_SYSTEM_INVISIBLE);
}

// Each accSelect is the click that makes the same selection, with the same
// notices to the parent; readers hear of what changed.
TEST_F(ListAccessibleTest, SelectingAndDefaultActionsDoWhatClicksDo)
{
    AddRows({"d4", "b2", "a1", "c3"});
    const Held object(ObjectOf(list, ROLE_SYSTEM_LIST));
    const auto selectionNotices = [] {
        std::vector<std::vector<int>> selected;
        std::copy_if(notices.begin(), notices.end(), std::back_inserter(selected),
                     [](const std::vector<int>& notice) { return notice[0] == NotifySelected; });
        return selected;
    };
    Click(20, RowY(1));
    const std::vector<int> clicked = Selected();
    const auto clickNotices = selectionNotices();
    SetFocus(parent);
    model().ResetSelection();
    notices.clear();

    ASSERT_EQ(object->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Child(2)), S_OK);
    EXPECT_EQ(Selected(), clicked);
    EXPECT_EQ(selectionNotices(), clickNotices);
    EXPECT_EQ(GetFocus(), window);
    EXPECT_EQ(object.State(2) & kSelectedAndFocused, kSelectedAndFocused);

    // A Ctrl-click adds and is announced to the parent; taking a row away is
    // not.
    EventListener listener;
    notices.clear();
    EXPECT_EQ(object->accSelect(SELFLAG_ADDSELECTION, Child(4)), S_OK);
    EXPECT_EQ(object->accSelect(SELFLAG_REMOVESELECTION, Child(2)), S_OK);
    EXPECT_EQ(Selected(), std::vector<int>{3});
    EXPECT_EQ(selectionNotices(), (std::vector<std::vector<int>>{{NotifySelected, 3, 0}}));
    auto heard = listener.Heard(window);
    EXPECT_EQ(Count(heard, EVENT_OBJECT_SELECTIONADD, 4), 1);
    EXPECT_EQ(Count(heard, EVENT_OBJECT_SELECTIONREMOVE, 2), 1);
    // A Shift-click from the anchor, then the focus alone; then two asks at
    // once and a title, which change nothing.
    using Select = std::tuple<long, long, HRESULT>;
    for (const auto& [flags, id, answer] :
         {Select{SELFLAG_EXTENDSELECTION, 1, S_OK}, Select{SELFLAG_TAKEFOCUS, 4, S_OK},
          Select{SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION, 1, E_INVALIDARG},
          Select{SELFLAG_TAKESELECTION | SELFLAG_ADDSELECTION, 1, E_INVALIDARG},
          Select{SELFLAG_TAKESELECTION, 5, E_INVALIDARG}}) {
        EXPECT_EQ(object->accSelect(flags, Child(id)), answer) << flags << " on " << id;
        EXPECT_EQ(Selected(), (std::vector<int>{0, 1})) << flags << " on " << id;
    }
    VARIANT focus{};
    EXPECT_EQ(object->get_accFocus(&focus), S_OK);
    EXPECT_EQ(IdOf(focus), 4);

    // A row's double-click; a title's click sorts, and every row reads anew.
    notices.clear();
    EXPECT_EQ(object->accDoDefaultAction(Child(3)), S_OK);
    EXPECT_EQ(Selected(), std::vector<int>{2});
    EXPECT_EQ(notices.back(), (std::vector<int>{NotifyDoubleClick, 2, 0}));
    listener.Heard(window);
    EXPECT_EQ(object->accDoDefaultAction(Child(5)), S_OK);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a1", "b2", "c3", "d4"}));
    EXPECT_EQ(Count(listener.Heard(window), EVENT_OBJECT_REORDER, CHILDID_SELF), 1);

    // A row removed; many changes at once are one event.
    model().DeleteItem(0);
    heard = listener.Heard(window);
    EXPECT_EQ(Count(heard, EVENT_OBJECT_DESTROY, 1), 1);
    EXPECT_EQ(Count(heard, EVENT_OBJECT_REORDER, CHILDID_SELF), 1);
    AddRows(std::vector<std::string>(20, "x"));
    Key('A', true);
    heard = listener.Heard(window);
    EXPECT_EQ(Count(heard, EVENT_OBJECT_SELECTIONWITHIN, CHILDID_SELF), 1);
    EXPECT_EQ(Count(heard, EVENT_OBJECT_SELECTIONADD), 0);
    // And as many leave it when a plain click keeps one row.
    Click(40, RowY(2));
    heard = listener.Heard(window);
    EXPECT_EQ(Count(heard, EVENT_OBJECT_SELECTIONWITHIN, CHILDID_SELF), 1);
    EXPECT_EQ(Count(heard, EVENT_OBJECT_SELECTIONREMOVE), 0);
}

// WM_GETOBJECT hands out one object for the client area, counted, which
// outlives the window.
TEST_F(ListAccessibleTest, GetObjectHandsOutOneObjectThatOutlivesTheWindow)
{
    AddRows({"a1", "b2", "c3"});
    IAccessible* object = list.Accessible();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(Held(list.Accessible()).get(), object);
    EXPECT_EQ(object->AddRef(), 3u); // the window's and ours
    EXPECT_EQ(object->Release(), 2u);
    // The id arrives with or without the sign of a negative 32-bit number.
    for (const LPARAM id : {LPARAM{OBJID_CLIENT}, LPARAM{static_cast<DWORD>(OBJID_CLIENT)}}) {
        const LRESULT answer = SendMessageA(window, WM_GETOBJECT, 0, id);
        if (answer <= 0) { // the system cannot hand an object over
            EXPECT_EQ(answer, LresultFromObject(kAccessibleInterface, 0, object));
            continue;
        }
        IAccessible* reached = nullptr;
        ASSERT_EQ(
            ObjectFromLresult(answer, kAccessibleInterface, 0, reinterpret_cast<void**>(&reached)),
            S_OK);
        EXPECT_EQ(Held(reached).Role(CHILDID_SELF), ROLE_SYSTEM_LIST);
    }
    for (const LONG id : {OBJID_WINDOW, OBJID_VSCROLL, OBJID_HSCROLL}) {
        EXPECT_EQ(SendMessageA(window, WM_GETOBJECT, 0, id),
                  DefWindowProcA(window, WM_GETOBJECT, 0, id));
    }
    // Script clients find its members in the system's type library.
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    LPOLESTR member = const_cast<LPOLESTR>(L"accName");
    DISPID nameId = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &member, 1, 0, &nameId), S_OK);
    EXPECT_EQ(nameId, DISPID_ACC_NAME);
    EXPECT_EQ(dispatch->Release(), 2u);

    // Several selected rows come as an enumerator with references of its own.
    model().SelectAll();
    VARIANT selection{};
    ASSERT_EQ(object->get_accSelection(&selection), S_OK);
    ASSERT_EQ(V_VT(&selection), VT_UNKNOWN);
    IEnumVARIANT* ids = nullptr;
    ASSERT_EQ(
        V_UNKNOWN(&selection)->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&ids)),
        S_OK);
    EXPECT_EQ(V_UNKNOWN(&selection)->Release(), 1u);
    VARIANT items[4];
    ULONG fetched = 0;
    EXPECT_EQ(ids->Next(4, items, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 3u);
    EXPECT_EQ(IdOf(items[0]) * 100 + IdOf(items[1]) * 10 + IdOf(items[2]), 123);
    EXPECT_EQ(ids->Release(), 0u);

    // The window goes while a reader holds the object.
    DestroyWindow(window);
    long count = 0;
    EXPECT_EQ(object->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(object->accSelect(SELFLAG_TAKESELECTION, Child(1)), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(list.Accessible(), nullptr);
}

constexpr int kLinkId = 1030;
int linkCommands = 0;

LRESULT CALLBACK CountLinkCommands(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    linkCommands += message == WM_COMMAND && LOWORD(wParam) == kLinkId;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The list's parent serves as the link's, counting its commands instead.
TEST_F(ListAccessibleTest, LinksAnswerAsLinksAndJumpAsAClickDoes)
{
    SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountLinkCommands));
    linkCommands = 0;
    const HWND label = CreateWindowExA(
        0, "Static", "Delete selected password", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 10, 10, 250, 20,
        parent, reinterpret_cast<HMENU>(kLinkId), programModule.Instance(), nullptr);
    HyperLinkLabel link;
    link.style = CommandMode;
    ASSERT_TRUE(link.Subclass(label));
    link.Attach();
    Held object(ObjectOf(link, ROLE_SYSTEM_LINK));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object.Role(CHILDID_SELF), ROLE_SYSTEM_LINK);
    EXPECT_EQ(object.Name(CHILDID_SELF), "Delete selected password");
    EXPECT_TRUE(object.State(CHILDID_SELF) & STATE_SYSTEM_LINKED);
    EXPECT_EQ(object.Action(CHILDID_SELF), "Jump");
    EXPECT_EQ(object->accDoDefaultAction(Child(CHILDID_SELF)), S_OK);
    EXPECT_EQ(linkCommands, 1);

    DestroyWindow(label);
    EXPECT_EQ(object->accDoDefaultAction(Child(CHILDID_SELF)), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(linkCommands, 1);
    EXPECT_EQ(object.release()->Release(), 0u);
}

} // namespace
} // namespace list_window_test
