#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "listctrl/list_look.h"
#include "toolkit/unique_handles.h"

// The borderless popup that shows the whole text of a cut-off cell, laid
// exactly over the cell's own text while the pointer rests on it. It holds
// the mouse while shown, so it learns when the pointer leaves it; everything
// else the mouse does is handed on to the list as if the tip were not there.
class TitleTip {
public:
    static constexpr const char* kClassName = "TitleTip";

    // A hidden tip over the list; null when its window cannot be made. look
    // belongs to the list and outlives the tip.
    static std::unique_ptr<TitleTip> Create(HWND list, bool themed, const ListLook& look);
    ~TitleTip();
    TitleTip(const TitleTip&) = delete;
    TitleTip& operator=(const TitleTip&) = delete;

    HWND Handle() const { return window.get(); }
    bool Visible() const;

    // textRect: the cell's text rectangle in screen coordinates. Shows the
    // tip only when the text does not fit in it; answers whether it did.
    // rowText, when not empty, is offered as a tooltip over the whole tip.
    bool ShowTitleTip(const RECT& textRect, const std::string& text, const std::string& rowText);
    void Hide();
    // The cell the tip shows, by row and display position, while it shows.
    void ShowsCell(int row, int position)
    {
        shownRow = row;
        shownPosition = position;
    }
    bool Shows(int row, int position) const
    {
        return row == shownRow && position == shownPosition && Visible();
    }

    // Paints the whole tip, double buffered; WM_PAINT and WM_PRINTCLIENT
    // both come here.
    void Paint(HDC dc);

private:
    TitleTip(HWND list, bool themed, const ListLook& look);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnMouse(UINT message, WPARAM wParam, LPARAM lParam);
    void HandToList(UINT message, WPARAM wParam, POINT screen);
    void PaintTip(HDC dc, const RECT& client) const;
    void SetRowTip(const std::string& rowText);
    std::string Text() const;

    HWND tipOwner;
    bool tipThemed;
    const ListLook& look;
    COLORREF tipBackColor;
    COLORREF tipTextColor;
    COLORREF tipOuterColor = RGB(220, 220, 220);
    COLORREF tipInnerColor = RGB(245, 245, 245);
    COLORREF tipTopColor = RGB(250, 250, 250);
    COLORREF tipBottomColor = RGB(235, 235, 235);
    UniqueFont tipFont;
    UniqueWindow rowTip;
    UniqueWindow window;
    int shownRow = -1;
    int shownPosition = -1;
};
