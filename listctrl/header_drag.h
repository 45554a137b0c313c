#pragma once

#include <windows.h>

#include <ole2.h>

#include <memory>

#include "listctrl/list_look.h"

class ListWindow;

// What the drop target asks of whoever starts the column drags: the title
// being dragged, where it would land, the title under the pointer, and the
// marker that shows the landing place.
class ColumnDragSite {
public:
    // Display positions; -1 for none.
    virtual int DraggedColumn() const = 0;
    virtual int DropPosition() const = 0;
    virtual void SetDropPosition(int position) = 0;
    virtual void SetHotTitle(int position) = 0;
    // Null when it could not be made.
    virtual HWND DropMarker() const = 0;

protected:
    ~ColumnDragSite() = default;
};

// The red arrows above and below the header that show where a dragged
// column would land: a disabled tool window, so it never takes input. Null
// when it cannot be made; the drag then goes on without it.
HWND CreateDropMarker(HWND owner, int headerHeight, const ListLook& look);

// Moving columns by dragging their titles, with OLE drag and drop: the list
// is the drop target of its own drags, and of nobody else's.
class HeaderDragDrop {
public:
    // Registers the list as a drop target; null when OLE is not initialised
    // on this thread, and the list then has no column dragging.
    static std::unique_ptr<HeaderDragDrop> Register(ListWindow& list, ColumnDragSite& site);
    ~HeaderDragDrop();
    HeaderDragDrop(const HeaderDragDrop&) = delete;
    HeaderDragDrop& operator=(const HeaderDragDrop&) = delete;

    // Runs the modal drag of the title at the display position.
    void DragColumn(int position);

    // The drop target and a fresh drag's data, for a caller that plays the
    // drag itself.
    IDropTarget* Target() const { return target; }
    IDataObject* NewData() const;

private:
    HeaderDragDrop(ListWindow& list, IDropTarget* target);
    HBITMAP RenderTitle(int position, SIZE& size) const;

    ListWindow& list;
    IDropTarget* target;
};
