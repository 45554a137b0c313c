#pragma once

#include <windows.h>

#include "listctrl/list_layout.h"
#include "toolkit/unique_handles.h"

class BandSelection;
class HeaderTracker;
class ListScroller;
class ListWindow;

// The mouse over the rows: pressing, releasing and double-clicking, the hot
// cell under the pointer and its cursor; presses on the header go on to the
// header's tracker, drags from the rows to the band.
class ListMouse {
public:
    ListMouse(ListWindow& owner, HeaderTracker& headerTracker, BandSelection& bandSelection,
              ListScroller& listScroller);

    // The tooltip of the rows, made at set-up and gone with the window.
    void CreateRowTooltip();
    void Destroy();

    void OnLButtonDown(POINT point, unsigned keys);
    void OnMove(POINT point, unsigned keys);
    void OnLButtonUp(POINT point, unsigned keys);
    void OnRButtonDown(POINT point, unsigned keys);
    void OnRButtonUp(POINT point);
    void OnDoubleClick(POINT point, unsigned keys);
    void OnLeave();
    // Sets the cursor for where the pointer is; false to leave it to the
    // window's class.
    bool OnSetCursor() const;
    // The press is over without a release: the capture goes.
    void Cancel();

    // The left button went down in the list and it holds the capture.
    bool ButtonDown() const { return buttonDown; }
    int HotItem() const { return hotItem; }
    int HotColumn() const { return hotColumn; }

private:
    void ActOnPressedCell(const ListHit& hit);
    void TrackHotCell(POINT point);
    bool IsActiveLink(int row, int position) const;

    ListWindow& list;
    HeaderTracker& header;
    BandSelection& band;
    ListScroller& scroller;
    bool buttonDown = false;
    POINT pressPoint{};
    bool trackingLeave = false;
    int hotItem = -1; // the cell under the pointer: row and display position
    int hotColumn = -1;
    UniqueWindow rowTooltip;
};
