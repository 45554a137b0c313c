#pragma once

#include <windows.h>

#include "toolkit/dpi.h"
#include "toolkit/unique_handles.h"
#include "toolkit/visual_styles.h"

// The colours the list paints with. The system's colours are read whenever
// the view settings load, so a change of the user's colour scheme shows at
// once; an owner's own colours last until then.
struct ListColors {
    COLORREF back;
    COLORREF headerFace;
    COLORREF headerHighlight;
    COLORREF headerShadow;
    COLORREF headerText;
    COLORREF headerPressed;
    COLORREF highlight;
    COLORREF highlightText;
    COLORREF text;
    COLORREF selectedOuter;
    COLORREF selectedInner;
    COLORREF selectedTop;
    COLORREF selectedBottom;
    COLORREF inactiveTop;
    COLORREF inactiveBottom;
    COLORREF inactiveOuter;
    COLORREF inactiveInner;
    COLORREF focusTop;
    COLORREF focusBottom;
    COLORREF progressTop;
    COLORREF progressBottom;
    COLORREF focusCell;
    COLORREF hyperlink;

    // The defaults: the system's colours where there are some, else the
    // list's own light blues and greys.
    static ListColors Defaults();
};

// The system's message font at the given DPI, which the list, its tip and its
// editors show text in; null when it cannot be had. The caller owns it.
HFONT CreateMessageFont(int dpi, bool underline = false);
// Where the list, its tip and its editors take their fonts from: a new font
// at the DPI, owned by the caller, or null when none can be had.
using ListFontSource = HFONT (*)(int dpi, bool underline);

// Everything the list loads for painting and pointing: colours, fonts,
// themes, its glyphs and cursors, and the sizes that follow from them.
struct ListLook {
    ListColors colors = ListColors::Defaults();
    UniqueFont listFont;
    UniqueFont underlineFont;
    UniqueTheme headerTheme;
    UniqueTheme progressTheme;
    // The list's own glyphs: sort arrows and check boxes.
    UniqueImageList systemImages;
    UniqueCursor resizeCursor;
    UniqueCursor handCursor;
    UINT headerClipboardFormat = 0;
    int dpi = 96;
    // The height of a row and of the header: the font's "Height" and 6.
    int rowHeight = 0;
    int headerHeight = 0;
    // Rows a wheel notch scrolls, as the system gives it: "one screen at a
    // time" arrives as WHEEL_PAGESCROLL, or as the largest int under Wine.
    UINT wheelLines = 3;
    // Counts the loads, so a repaint can tell that the look has changed.
    int generation = 0;
    ListFontSource fontSource = CreateMessageFont;

    // A size given at 96 DPI, at the window's DPI.
    int Px(int size96) const { return ScaleForDpi(size96, dpi); }
    // A new font of the look's source at its DPI; the caller owns it.
    HFONT MakeFont(bool underline = false) const { return fontSource(dpi, underline); }

    // Reads the system's colours, fonts, settings and themes again, with the
    // glyphs and cursors for the DPI when it is a new one (the old ones stay
    // until all new ones are had). False when the glyphs, cursors or font
    // cannot be had.
    bool Load(HWND window, int newDpi);

private:
    bool LoadImagesAndCursors(int newDpi);
};

// Rounded frame: an outer rounded rectangle in the first colour filled with
// fill, and one pixel inside it a smaller rounding in the second colour.
void DrawRoundedFrame(HDC dc, const RECT& rect, COLORREF outer, COLORREF inner, COLORREF fill,
                      const ListLook& look);
// Top colour at the top edge to bottom colour at the bottom edge.
void FillVerticalGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom);
void FillSolid(HDC dc, const RECT& rect, COLORREF color);

// The drawn size of the list's images nearest to the wanted one, in
// pixels; 0 when none comes within a quarter of it.
int NearestImageSize(int wanted);
// The list's own glyphs (sort arrows and check boxes) for the DPI: the drawn
// set nearest to 16 pixels scaled, or else the 16-pixel set enlarged.
UniqueImageList LoadListImages(HINSTANCE instance, int dpi);
// An icon of the module as a list of one image, at 16 pixels scaled.
UniqueImageList LoadIconImages(HINSTANCE instance, int iconId, int dpi);
// A cursor of the module at the system's cursor size for the DPI.
UniqueCursor LoadCursorForDpi(HINSTANCE instance, int cursorId, int dpi);
