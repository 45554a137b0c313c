#pragma once

#include <windows.h>

#include "listctrl/list_layout.h"

class ListScroller;
class ListWindow;

// The rubber band: a rectangle dragged from the press point that selects the
// rows it covers, scrolling the list while the pointer is beyond its edges.
// The band is kept in content coordinates (ListLayout::ToContent), so it
// stays with its rows as they scroll.
class BandSelection {
public:
    BandSelection(ListWindow& owner, ListScroller& listScroller);

    // A press: where it was, and whether it may start a band.
    void Press(ListPoint contentPoint, bool allowed);
    void Allow(bool allowed) { mayStart = allowed; }
    bool Allowed() const { return mayStart; }
    bool Active() const { return active; }
    void Start() { active = true; }

    // The pointer moved to pointer (client coordinates, possibly outside
    // the list while it holds the mouse): the band follows, selects the rows
    // under it, and scrolls the list at most every few milliseconds.
    void Update(POINT pointer);
    // The band's timer: the same from where the last move left the pointer.
    void OnTimer();
    // Ends a band, answering whether one was being drawn; ends the press's
    // permission in any case.
    bool End();

    // The band as it is painted, in client coordinates: where the list
    // cannot scroll further it stops at the edge instead of vanishing past it.
    RECT PaintedRect() const;

private:
    void ScrollEdge(POINT pointer);

    ListWindow& list;
    ListScroller& scroller;
    bool mayStart = false;
    bool active = false;
    ListPoint start;     // the press, in content coordinates
    ListRect rect;       // the band, in content coordinates
    POINT lastPointer{}; // where the last move left the pointer
    DWORD lastScroll = 0;
};
