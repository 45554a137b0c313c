// What screen readers get from the list and the links: the objects asked as
// a reader asks them, and the events through a win-event listener.
#include <algorithm>

#include "listctrl/password_row.h"
#include "tests/listctrl/accessible_probe.h"
#include "tests/listctrl/list_window_fixture.h"
#include "toolkit/hyperlink_label.h"

namespace list_window_test {
namespace {

using namespace accessible_probe;

POINT ScreenOrigin(HWND window)
{
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return origin;
}

long HitAt(IAccessible* object, POINT screen)
{
    VARIANT hit;
    VariantInit(&hit);
    object->accHitTest(screen.x, screen.y, &hit);
    return IdOf(hit);
}

long Navigate(IAccessible* object, long direction, long from, HRESULT expected = S_OK)
{
    VARIANT end;
    VariantInit(&end);
    EXPECT_EQ(object->accNavigate(direction, Child(from), &end), expected);
    return IdOf(end);
}

std::vector<std::vector<int>> SelectionNotices()
{
    std::vector<std::vector<int>> selected;
    std::copy_if(notices.begin(), notices.end(), std::back_inserter(selected),
                 [](const std::vector<int>& notice) { return notice[0] == NotifySelected; });
    return selected;
}

class ListAccessibleTest : public ListWindowTest {};

TEST_F(ListAccessibleTest, RowsAndTitlesAreChildrenNamedAsTheListShowsThem)
{
    AddRows({"VmZ2wd634Z", "aB3", "cu9"}, "60 bit");
    model().SetItemText(0, 2, "VOW - man - ZEN");
    const Held object(ObjectOf(list, ROLE_SYSTEM_LIST));
    ASSERT_NE(object.get(), nullptr);
    long count = 0;
    EXPECT_EQ(object->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 3 + 3);
    EXPECT_EQ(Role(object.get(), CHILDID_SELF), ROLE_SYSTEM_LIST);
    const long multiple = STATE_SYSTEM_MULTISELECTABLE | STATE_SYSTEM_EXTSELECTABLE;
    EXPECT_EQ(State(object.get(), CHILDID_SELF) & multiple, multiple);
    EXPECT_EQ(Role(object.get(), 1), ROLE_SYSTEM_LISTITEM);
    EXPECT_EQ(Name(object.get(), 1), "VmZ2wd634Z, 60 bit, VOW - man - ZEN");
    EXPECT_EQ(Name(object.get(), 2), "aB3, 60 bit"); // no empty parts
    EXPECT_EQ(Role(object.get(), 4), ROLE_SYSTEM_COLUMNHEADER);
    EXPECT_EQ(Name(object.get(), 4), "Password");
    EXPECT_EQ(DefaultAction(object.get(), 1), "Double Click");
    EXPECT_EQ(DefaultAction(object.get(), 4), "Click");

    // The header's order after a drag; a column dragged to nothing is no part.
    model().MoveColumn(2, 0);
    model().SetColumnWidth(2, 0);
    EXPECT_EQ(Name(object.get(), 1), "VOW - man - ZEN, VmZ2wd634Z");
    EXPECT_EQ(Name(object.get(), 4), "Phonetics");
    EXPECT_TRUE(State(object.get(), 6) & STATE_SYSTEM_INVISIBLE);

    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(Child(7), &name), E_INVALIDARG);
    IDispatch* element = reinterpret_cast<IDispatch*>(object.get());
    EXPECT_EQ(object->get_accChild(Child(1), &element), S_FALSE); // an element, no object
    EXPECT_EQ(element, nullptr);
}

TEST_F(ListAccessibleTest, PlacesHitTestsAndNavigationFollowTheScreen)
{
    std::vector<std::string> passwords;
    for (int i = 0; i < 30; ++i) {
        passwords.push_back("row" + std::to_string(i));
    }
    AddRows(passwords);
    const Held object(ObjectOf(list, ROLE_SYSTEM_LIST));
    const POINT origin = ScreenOrigin(window);
    const int header = model().headerHeight;
    long left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(object->accLocation(&left, &top, &width, &height, Child(2)), S_OK);
    EXPECT_EQ(left, origin.x);
    EXPECT_EQ(top, origin.y + header + model().rowHeight);
    EXPECT_EQ(width, model().GetTotalWidth());
    EXPECT_EQ(height, model().rowHeight);
    EXPECT_FALSE(State(object.get(), 1) & STATE_SYSTEM_OFFSCREEN);
    EXPECT_TRUE(State(object.get(), 30) & STATE_SYSTEM_OFFSCREEN);

    EXPECT_EQ(HitAt(object.get(), POINT{origin.x + 20, origin.y + RowY(1)}), 2);
    EXPECT_EQ(HitAt(object.get(), POINT{origin.x + 120, origin.y + header / 2}), 30 + 2);
    EXPECT_EQ(HitAt(object.get(), POINT{origin.x + 380, origin.y + RowY(1)}), CHILDID_SELF);
    EXPECT_EQ(HitAt(object.get(), POINT{origin.x - 5, origin.y + RowY(1)}), -1);

    EXPECT_EQ(Navigate(object.get(), NAVDIR_FIRSTCHILD, CHILDID_SELF), 1);
    EXPECT_EQ(Navigate(object.get(), NAVDIR_LASTCHILD, CHILDID_SELF), 30);
    EXPECT_EQ(Navigate(object.get(), NAVDIR_DOWN, 1), 2);
    EXPECT_EQ(Navigate(object.get(), NAVDIR_PREVIOUS, 2), 1);
    EXPECT_EQ(Navigate(object.get(), NAVDIR_NEXT, 30, S_FALSE), -1);
    EXPECT_EQ(Navigate(object.get(), NAVDIR_RIGHT, 31), 32);
    EXPECT_EQ(Navigate(object.get(), NAVDIR_LEFT, 31, S_FALSE), -1);
    EXPECT_EQ(Navigate(object.get(), NAVDIR_FIRSTCHILD, 2, E_INVALIDARG), -1);
}

TEST_F(ListAccessibleTest, SelectingAndDefaultActionsDoWhatClicksDo)
{
    AddRows({"d4", "b2", "a1", "c3"});
    const Held object(ObjectOf(list, ROLE_SYSTEM_LIST));
    Click(20, RowY(1));
    const std::vector<int> clicked = Selected();
    const auto clickNotices = SelectionNotices();
    SetFocus(parent);
    model().ResetSelection();
    notices.clear();

    ASSERT_EQ(object->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Child(2)), S_OK);
    EXPECT_EQ(Selected(), clicked);
    EXPECT_EQ(SelectionNotices(), clickNotices);
    EXPECT_EQ(GetFocus(), window);
    const long both = STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED;
    EXPECT_EQ(State(object.get(), 2) & both, both);

    // A Ctrl-click adds and is announced; taking a row away is not.
    notices.clear();
    EXPECT_EQ(object->accSelect(SELFLAG_ADDSELECTION, Child(4)), S_OK);
    EXPECT_EQ(object->accSelect(SELFLAG_REMOVESELECTION, Child(2)), S_OK);
    EXPECT_EQ(Selected(), std::vector<int>{3});
    EXPECT_EQ(SelectionNotices(), (std::vector<std::vector<int>>{{NotifySelected, 3, 0}}));
    // Shift-click from the anchor, then the focus alone.
    EXPECT_EQ(object->accSelect(SELFLAG_EXTENDSELECTION, Child(1)), S_OK);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1}));
    EXPECT_EQ(object->accSelect(SELFLAG_TAKEFOCUS, Child(4)), S_OK);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1}));
    VARIANT focus;
    VariantInit(&focus);
    EXPECT_EQ(object->get_accFocus(&focus), S_OK);
    EXPECT_EQ(IdOf(focus), 4);

    EXPECT_EQ(object->accSelect(SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION, Child(1)),
              E_INVALIDARG);
    EXPECT_EQ(object->accSelect(SELFLAG_TAKESELECTION | SELFLAG_ADDSELECTION, Child(1)),
              E_INVALIDARG);
    EXPECT_EQ(object->accSelect(SELFLAG_TAKESELECTION, Child(5)), E_INVALIDARG); // a title

    // A row's double-click; a title's click sorts.
    notices.clear();
    EXPECT_EQ(object->accDoDefaultAction(Child(3)), S_OK);
    EXPECT_EQ(Selected(), std::vector<int>{2});
    EXPECT_EQ(notices.back(), (std::vector<int>{NotifyDoubleClick, 2, 0}));
    EXPECT_EQ(object->accDoDefaultAction(Child(5)), S_OK);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a1", "b2", "c3", "d4"}));
}

TEST_F(ListAccessibleTest, EventsFollowRowsSelectionAndFocus)
{
    AddRows({"a1", "b2", "c3", "d4"});
    EventListener listener;
    ASSERT_TRUE(listener.Hooked());

    // A batch's new row while the user is elsewhere: announced, not focused.
    SetFocus(parent);
    listener.Heard(window);
    AppendPasswordRow(model(), "e5", "57 bit", "echo");
    auto heard = listener.Heard(window);
    EXPECT_TRUE(Contains(heard, EVENT_OBJECT_CREATE, 5));
    EXPECT_TRUE(Contains(heard, EVENT_OBJECT_SELECTION, 5));
    EXPECT_EQ(Count(heard, EVENT_OBJECT_FOCUS), 0);

    Click(20, RowY(1));
    heard = listener.Heard(window);
    EXPECT_TRUE(Contains(heard, EVENT_OBJECT_FOCUS, 2));
    EXPECT_TRUE(Contains(heard, EVENT_OBJECT_SELECTION, 2));
    Key(VK_DOWN, true); // the focus alone
    heard = listener.Heard(window);
    EXPECT_TRUE(Contains(heard, EVENT_OBJECT_FOCUS, 3));
    EXPECT_EQ(Count(heard, EVENT_OBJECT_SELECTION) + Count(heard, EVENT_OBJECT_SELECTIONADD), 0);

    // Few changes one by one, many at once.
    Key('A', true);
    EXPECT_EQ(Count(listener.Heard(window), EVENT_OBJECT_SELECTIONADD), 4);
    AddRows(std::vector<std::string>(20, "x"));
    model().ResetSelection();
    listener.Heard(window);
    Key('A', true);
    heard = listener.Heard(window);
    EXPECT_TRUE(Contains(heard, EVENT_OBJECT_SELECTIONWITHIN, CHILDID_SELF));
    EXPECT_EQ(Count(heard, EVENT_OBJECT_SELECTIONADD), 0);

    model().DeleteItem(0);
    heard = listener.Heard(window);
    EXPECT_TRUE(Contains(heard, EVENT_OBJECT_DESTROY, 1));
    EXPECT_TRUE(Contains(heard, EVENT_OBJECT_REORDER, CHILDID_SELF));
    Click(20, model().headerHeight / 2); // sorts
    EXPECT_TRUE(Contains(listener.Heard(window), EVENT_OBJECT_REORDER, CHILDID_SELF));
}

TEST_F(ListAccessibleTest, GetObjectAnswersForTheClientAreaAlone)
{
    const Held object(list.Accessible());
    const LRESULT direct = LresultFromObject(kAccessibleInterface, 0, object.get());
    // The id arrives with or without the sign of a negative 32-bit number.
    for (const LPARAM id : {static_cast<LPARAM>(OBJID_CLIENT),
                            static_cast<LPARAM>(static_cast<DWORD>(OBJID_CLIENT))}) {
        const LRESULT answer = SendMessageA(window, WM_GETOBJECT, 0, id);
        if (answer > 0) {
            // Where the system can hand the object over, it is the list's.
            IAccessible* reached = nullptr;
            ASSERT_EQ(ObjectFromLresult(answer, kAccessibleInterface, 0,
                                        reinterpret_cast<void**>(&reached)),
                      S_OK);
            EXPECT_EQ(Role(reached, CHILDID_SELF), ROLE_SYSTEM_LIST);
            reached->Release();
        } else {
            EXPECT_EQ(answer, direct);
        }
    }
    if (direct > 0) {
        IAccessible* unused = nullptr;
        ObjectFromLresult(direct, kAccessibleInterface, 0, reinterpret_cast<void**>(&unused));
        unused->Release();
    }
    for (const LONG id : {OBJID_WINDOW, OBJID_VSCROLL, OBJID_HSCROLL}) {
        EXPECT_EQ(SendMessageA(window, WM_GETOBJECT, 0, id),
                  DefWindowProcA(window, WM_GETOBJECT, 0, id));
    }
}

TEST_F(ListAccessibleTest, CountsItsReferencesAndOutlivesTheWindow)
{
    AddRows({"a1", "b2", "c3"});
    IAccessible* object = list.Accessible();
    ASSERT_NE(object, nullptr);
    {
        const Held again(list.Accessible());
        EXPECT_EQ(again.get(), object); // one object for the window
        EXPECT_EQ(object->AddRef(), 4u);
        EXPECT_EQ(object->Release(), 3u);
    }
    // Script clients reach the same answers late-bound.
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    DISPID nameId = 0;
    LPOLESTR member = const_cast<LPOLESTR>(L"accName");
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, &member, 1, 0, &nameId), S_OK);
    VARIANT argument = Child(2);
    DISPPARAMS parameters{&argument, nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(dispatch->Invoke(nameId, IID_NULL, 0, DISPATCH_PROPERTYGET, &parameters, &result,
                               nullptr, nullptr),
              S_OK);
    EXPECT_EQ(Take(V_VT(&result) == VT_BSTR ? V_BSTR(&result) : nullptr), "b2, 57 bit");
    EXPECT_EQ(dispatch->Release(), 2u);
    IUnknown* none = reinterpret_cast<IUnknown*>(object);
    EXPECT_EQ(object->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&none)),
              E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    // Several selected rows come as an enumerator with references of its own.
    model().SelectAll();
    VARIANT selection;
    VariantInit(&selection);
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
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(Child(1), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(object->accSelect(SELFLAG_TAKESELECTION, Child(1)), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(list.Accessible(), nullptr);
}

// ---- The links ----

constexpr int kLinkId = 1030;
int linkCommands = 0;

LRESULT CALLBACK LinkParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == kLinkId) {
        ++linkCommands;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST(LinkAccessibleTest, AnswersAsALinkAndJumpsAsAClickDoes)
{
    WNDCLASSA parentClass{};
    parentClass.lpfnWndProc = LinkParentProc;
    parentClass.hInstance = module.Instance();
    parentClass.lpszClassName = "SorvaneLinkAccessibleParent";
    RegisterClassA(&parentClass);
    const HWND parent = CreateWindowExA(0, parentClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0,
                                        0, 300, 60, nullptr, nullptr, module.Instance(), nullptr);
    const HWND label = CreateWindowExA(
        0, "Static", "Delete selected password", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 10, 10, 250, 20,
        parent, reinterpret_cast<HMENU>(kLinkId), module.Instance(), nullptr);
    HyperLinkLabel link;
    link.style = CommandMode;
    ASSERT_TRUE(link.Subclass(label));
    link.Attach();
    Held object(ObjectOf(link, ROLE_SYSTEM_LINK));
    ASSERT_NE(object.get(), nullptr);
    EXPECT_EQ(Role(object.get(), CHILDID_SELF), ROLE_SYSTEM_LINK);
    EXPECT_EQ(Name(object.get(), CHILDID_SELF), "Delete selected password");
    const long linked = STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE;
    EXPECT_EQ(State(object.get(), CHILDID_SELF) & (linked | STATE_SYSTEM_FOCUSED), linked);
    SetFocus(label);
    EXPECT_TRUE(State(object.get(), CHILDID_SELF) & STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(DefaultAction(object.get(), CHILDID_SELF), "Jump");
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(Child(1), &name), E_INVALIDARG);

    const RECT rect = link.LinkRect();
    long left = 0, top = 0, width = 0, height = 0;
    object->accLocation(&left, &top, &width, &height, Child(CHILDID_SELF));
    const POINT origin = ScreenOrigin(label);
    EXPECT_EQ(
        std::vector<long>({left, top, width}),
        std::vector<long>({origin.x + rect.left, origin.y + rect.top, rect.right - rect.left}));

    // A click, then the default action: one command each.
    linkCommands = 0;
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rect.left + 2, rect.top + 2));
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(rect.left + 2, rect.top + 2));
    EXPECT_EQ(linkCommands, 1);
    EXPECT_EQ(object->accDoDefaultAction(Child(CHILDID_SELF)), S_OK);
    EXPECT_EQ(linkCommands, 2);

    DestroyWindow(parent);
    EXPECT_EQ(object->accDoDefaultAction(Child(CHILDID_SELF)), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(linkCommands, 2);
    EXPECT_EQ(object.release()->Release(), 0u);
}

} // namespace
} // namespace list_window_test
