#pragma once

#include <windows.h>

#include <memory>

#include "listctrl/header_drag.h"
#include "toolkit/unique_handles.h"

class ListScroller;
class ListWindow;

// The header band under the mouse: the title pressed and the one under the
// pointer, sizing a column by its edge (with the shrink timer at the right
// end of the columns), sorting on release, and starting a column drag, which
// header_drag.cpp carries out with OLE.
class HeaderTracker final : public ColumnDragSite {
public:
    HeaderTracker(ListWindow& owner, const ListScroller& listScroller);
    ~HeaderTracker();
    HeaderTracker(const HeaderTracker&) = delete;
    HeaderTracker& operator=(const HeaderTracker&) = delete;

    // Registers the list as the drop target of its own column drags; without
    // OLE on the thread there is no column dragging.
    void RegisterDragDrop();
    // The window is going: the drop target and the marker go with it.
    void Destroy();
    // The marker that shows where a dragged column lands, as high as the
    // header; made again whenever that height changes.
    void MakeDropMarker();
    HWND DropMarker() const override { return dropMarker.get(); }

    // A press or resize is going on: the mouse's moves and release are ours.
    bool IsActive() const { return resizing || pressedColumn >= 0; }
    // The next move would start dragging the pressed title.
    bool StartsDrag(POINT point, POINT pressPoint) const;
    int PressedColumn() const { return pressedColumn; }
    int HotTitle() const { return hotTitle; }

    // The left button on the header: an edge starts a resize, a title is
    // pressed. False when the point is not on the header.
    bool OnButtonDown(POINT point);
    void OnMove(POINT point, POINT pressPoint);
    // A released title sorts, wherever the button comes up.
    void OnButtonUp();
    // A double-click on an edge fits the column to its content; a drag that
    // follows goes on from the fitted width.
    void OnDoubleClick(POINT point);
    void OnShrinkTimer();
    // The title under the pointer lights up in the themed look.
    void TrackHotTitle(POINT point);
    void ClearHotTitle();
    // Ends any press and drag, and hides the marker.
    void Cancel();
    // The resize cursor while resizing and over a sizable edge.
    bool SetCursorFor(POINT point) const;

    // What a column drag in progress says, for the drop target.
    int DraggedColumn() const override { return draggedColumn; }
    int DropPosition() const override { return dropPosition; }
    void SetDropPosition(int position) override { dropPosition = position; }
    void SetHotTitle(int position) override;

    // Sets the column to the width that fits its title and every cell.
    void FitColumn(int position);
    void RepaintHeader() const;

private:
    void Drag(int position);
    void EndPress();

    ListWindow& list;
    const ListScroller& scroller;
    int pressedColumn = -1; // display positions
    int hotTitle = -1;
    bool resizing = false;
    int resizeColumn = -1;
    int resizeStartWidth = 0;
    int resizeStartX = 0; // the pointer's screen x when the resize (re)started
    bool shrinking = false;
    int shrinkStartX = 0;
    int draggedColumn = -1;
    int dropPosition = -1;
    UniqueWindow dropMarker;
    std::unique_ptr<HeaderDragDrop> dragDrop;
};
