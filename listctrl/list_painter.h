#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "listctrl/list_layout.h"
#include "listctrl/list_look.h"

// The view's switches, which an owner sets; the dialog keeps the defaults.
struct ListViewOptions {
    bool showHeader = true;
    bool themedLook = true;
    bool smoothScroll = true;
    bool dragSelect = false;
    bool tileBackground = false;
    HBITMAP backgroundBitmap = nullptr; // lent
    HIMAGELIST itemImages = nullptr;    // the images of the cells' image field; lent
};

// The visual style's look: asked for, and available on this system.
inline bool IsThemed(const ListLook& look, const ListViewOptions& options)
{
    return options.themedLook && look.headerTheme;
}

// Everything a paint reads, and nothing it may change.
struct ListPaintState {
    const ListModel& model;
    ListLayout layout;
    const ListLook& look;
    const ListViewOptions& options;
    bool focused = false; // the list holds the keyboard, or an editor is open
    bool editing = false;
    int hotItem = -1; // the cell under the pointer
    int hotColumn = -1;
    int pressedTitle = -1; // display positions in the header
    int hotTitle = -1;
    bool banding = false;
    RECT band{}; // the rubber band as it is painted, in client coordinates

    bool Themed() const { return IsThemed(look, options); }
};

inline RECT ToRect(const ListRect& rect)
{
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

inline ListPoint ToListPoint(POINT point)
{
    return ListPoint{point.x, point.y};
}

// A date cell's 14-digit text as the user's locale writes it, as the flags
// ask (date, time or both); empty when it is no date.
std::string FormatCellDate(const ListModel& model, int row, int index, std::uint32_t flags);

// A cell's text as the list shows it and a screen reader reads it: a date
// cell's date as written, nothing for cells that show a picture.
std::string CellText(const ListModel& model, int row, int index);

// Paints the rows, their cells, the rubber band and the header band.
class ListPainter {
public:
    explicit ListPainter(const ListPaintState& paintState) : state(paintState) {}

    // Background, rows, band and header, within the clip box.
    void PaintContent(HDC dc, const RECT& clip) const;
    void PaintBackground(HDC dc, const RECT& clip) const;
    // The rows from firstRow on, the first with its top at top.
    void PaintRows(HDC dc, const RECT& clip, int firstRow, int top) const;
    // A column's title as the header shows it; withArrow adds the sort
    // arrow where the column has one.
    void PaintTitle(HDC dc, const ListColumn& column, const RECT& columnRect, bool first,
                    bool withArrow) const;
    // The rectangle a cell's text is drawn in, right of its image.
    RECT TextRect(int row, int position, const RECT& cell) const;

private:
    void PaintRow(HDC dc, const RECT& clip, int row, const RECT& rowRect) const;
    void PaintCell(HDC dc, int row, int position, const RECT& cell, bool selected) const;
    void PaintCellBackground(HDC dc, const RECT& cell, COLORREF own, bool focusCell) const;
    void PaintCellText(HDC dc, int row, int index, const RECT& cell, const RECT& textRect) const;
    void PaintProgress(HDC dc, const RECT& cell, int value, std::uint32_t flags) const;
    void PaintBand(HDC dc) const;
    void PaintHeader(HDC dc, const RECT& clip) const;
    void PaintHeaderEnd(HDC dc, int left) const;
    // The cell less its margins, before any image.
    RECT PlainTextRect(int position, const RECT& cell) const;
    bool ShowsCellImage(int row, int position, int image) const;
    bool IsFocusCell(int row, int position) const;

    const ListPaintState& state;
};
