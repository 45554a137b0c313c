#pragma once

#include <windows.h>

#include "listctrl/list_painter.h"

// The record of the list's WM_NOTIFY messages: the list sends it to its
// parent, and an in-place editor to the list when an edit ends.
struct ListNotify {
    NMHDR header;
    int row;
    int column; // data index; 0 when no column is concerned
    BYTE key;
    char* text;
    SYSTEMTIME* dateTime;
};

// The list's window as its parts see it: the layout, the painter's input,
// the mouse, the keys, the band, the header, the scroller, the repainter, the
// editors and what screen readers get all reach the window through this and
// nothing else, so none of them depends on the control or on another part
// it does not use, and a test can hand a part a small fake of it.
class ListWindow {
public:
    // The timers the parts set on the window; each tick goes to the part
    // that set it.
    static constexpr UINT_PTR kResizeTimer = 1001;
    static constexpr UINT_PTR kBringIntoViewTimer = 1002;
    static constexpr UINT_PTR kBandTimer = 1003;
    static constexpr UINT_PTR kAnimationTimer = 1004;
    static constexpr UINT_PTR kScrollBarTimer = 1005;
    static constexpr UINT kBringIntoViewDelay = 250;
    static constexpr UINT kFrameDelay = 20;

    virtual HWND Handle() const = 0;
    virtual ListModel& Model() = 0;
    virtual const ListLook& Look() const = 0;
    virtual const ListViewOptions& Options() const = 0;
    // Where everything lies now, and what a paint would read.
    virtual ListLayout Layout() const = 0;
    virtual ListPaintState PaintState() const = 0;

    // Repaints what changed since the last paint; the row across the list.
    virtual void Repaint() = 0;
    virtual void RepaintRow(int row) = 0;
    // The tip over a cut-off cell under the pointer, which nearly anything
    // else the list does hides.
    virtual void ShowTitleTip(POINT point, const ListHit& hit) = 0;
    virtual void HideTitleTip() = 0;

    // Scrolls so the row (and in cell mode the column) is fully visible.
    virtual void EnsureVisible(int row, int position) = 0;
    // Moves the focus to the row, in view, without changing the selection.
    virtual void FocusRow(int row) = 0;
    // A click on a title: sorts by its column, or turns the order round.
    virtual void SortByColumn(int position) = 0;
    virtual bool SetColumnWidth(int position, int width) = 0;
    // Takes the dragged column out of the display order and puts it before
    // dropPosition, as a drop of a title drag does.
    virtual void MoveDraggedColumn(int dragged, int dropPosition, int underPointer) = 0;
    // An in-place editor is open over the focus cell.
    virtual bool IsEditing() const = 0;

protected:
    ~ListWindow() = default;
};
