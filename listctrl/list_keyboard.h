#pragma once

#include <windows.h>

#include "listctrl/type_ahead.h"

class ListAccessibility;
class ListScroller;
class PasswordListControl;

// The keyboard: moving the focus and the selection, scrolling sideways,
// toggling check boxes, select-all and type-ahead search.
class ListKeyboard {
public:
    ListKeyboard(PasswordListControl& owner, ListScroller& listScroller,
                 ListAccessibility& listAccessibility);

    void OnKeyDown(UINT key);

private:
    // Moves the focus for a movement key; false for every other key and in
    // an empty list.
    bool MoveFocus(UINT key, bool ctrl, int& row, int& position);
    void ScrollSideways(UINT key, bool ctrl);
    void ToggleFocusedCheck();
    void Search(char typed);

    PasswordListControl& list;
    ListScroller& scroller;
    ListAccessibility& accessibility;
    TypeAhead typeAhead;
};
