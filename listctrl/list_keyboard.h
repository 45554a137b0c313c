#pragma once

#include <windows.h>

#include "listctrl/type_ahead.h"

class ListScroller;
class ListWindow;

// The keyboard: moving the focus and the selection, scrolling sideways,
// toggling check boxes, select-all and type-ahead search.
class ListKeyboard {
public:
    ListKeyboard(ListWindow& owner, ListScroller& listScroller);

    void OnKeyDown(UINT key);

private:
    enum class Move { None, Focus, Sideways };

    // Where a movement key takes the focus cell, or that it scrolls the rows
    // sideways instead; None for every other key and in an empty list.
    Move MoveFocus(UINT key, bool ctrl, int& row, int& position);
    void ScrollSideways(UINT key, bool ctrl);
    void ToggleFocusedCheck();
    void Search(char typed);

    ListWindow& list;
    ListScroller& scroller;
    TypeAhead typeAhead;
};
