#pragma once

#include "listctrl/list_model.h"

// A point and a rectangle in the list's client area, laid out as the
// window's POINT and RECT are.
struct ListPoint {
    int x = 0;
    int y = 0;
};

struct ListRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // Right and bottom edges excluded, as the window's own hit tests do.
    bool Contains(ListPoint point) const
    {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }
    bool operator==(const ListRect&) const = default;
};

// A cell under a point: the row and the column's display position.
struct ListHit {
    int row = -1;
    int position = -1;

    bool operator==(const ListHit&) const = default;
};

// A column title under a point: its display position, and whether the point
// is on its right edge.
struct HeaderHit {
    static constexpr unsigned kOnEdge = 0x1;
    static constexpr unsigned kLeftOfEdge = 0x2;
    static constexpr unsigned kRightOfEdge = 0x4;

    int position = -1;
    unsigned edge = 0;

    bool operator==(const HeaderHit&) const = default;
};

// The size of the client area and how far it is scrolled, in pixels. The
// vertical position may lie between two rows.
struct ListViewport {
    int width = 0;
    int height = 0;
    int scrollX = 0;
    int scrollY = 0;
};

// The sizes the rows and titles are laid out with, in pixels at the window's
// scale: the heights, and how far left and right of a column's right edge the
// pointer still grabs the edge.
struct ListSizes {
    int rowHeight = 0;
    int headerHeight = 0; // 0 while the header is hidden
    int edgeBefore = 5;
    int edgeAfter = 4;
};

// Where the rows, cells and titles lie, from the model and the sizes alone.
// Painting, clicks, the rubber band, the title tip, screen readers and the
// drop marker all ask it, so every conversion from a pixel to a row agrees
// with what is painted: rows are drawn from the first visible row at the
// header's bottom, whatever part of a row the scroll position passes.
class ListLayout {
public:
    ListLayout(const ListModel& model, const ListViewport& viewport, const ListSizes& sizes);

    const ListViewport& Viewport() const { return viewport; }
    int HeaderBottom() const;
    int FirstVisibleRow() const;
    // The first visible row's top in content pixels: where painting puts
    // the header's bottom.
    int RowOrigin() const;
    // Rows wholly below the header, and rows that meet that area at all.
    int FullyVisibleRows() const;
    int RowsInView() const;
    bool IsRowFullyVisible(int row) const;
    // Scrolled as far right as the columns go.
    bool IsScrolledFullyRight() const;

    // Rows and titles span whole columns: right edges excluded.
    ListRect RowRect(int row) const;
    ListRect TitleRect(int position) const;
    // A cell's right edge is its last pixel, one left of the next cell.
    bool CellRect(int row, int position, ListRect& cell) const;

    ListHit HitTestCell(ListPoint point) const;
    HeaderHit HitTestHeader(ListPoint point) const;
    // The title a dragged column is over: the one whose span holds x, the
    // last also right of all of them; -1 left of the first.
    int ColumnAt(int x) const;

    // Content coordinates: client coordinates plus the horizontal position
    // and the row origin, so a rectangle in them stays with its rows.
    ListPoint ToContent(ListPoint client) const;
    ListRect ToClient(const ListRect& content) const;
    // The rows a rectangle in content coordinates covers, when it covers
    // any and lies left of the columns' end.
    bool RowsCovered(const ListRect& content, int& first, int& last) const;

private:
    int ColumnLeft(int position) const;

    const ListModel& model;
    ListViewport viewport;
    ListSizes sizes;
};
