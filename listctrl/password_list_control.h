#pragma once

#include <windows.h>

#include <memory>

#include "listctrl/band_selection.h"
#include "listctrl/header_tracker.h"
#include "listctrl/list_accessibility.h"
#include "listctrl/list_editing.h"
#include "listctrl/list_keyboard.h"
#include "listctrl/list_look.h"
#include "listctrl/list_model.h"
#include "listctrl/list_mouse.h"
#include "listctrl/list_repainter.h"
#include "listctrl/list_scroller.h"
#include "listctrl/list_window.h"
#include "toolkit/subclassed_window.h"

class TitleTip;

// The password list: control 1026, window class "ListCtrl". The dialog
// template creates a plain window of the class; binding the object takes it
// over. The rows live in the model and change only on the window's thread,
// which is also the one that paints them.
//
// This class keeps the window and wires its messages to the parts that do
// the work, each with its own state: the scroller, the mouse, the keyboard,
// the header's tracker, the band, the editors, the repainter and what screen
// readers are told. It owns them all and hands each the window as a
// ListWindow; the model reaches it as its ListModelHost.
class PasswordListControl final : public SubclassedWindow,
                                  private ListWindow,
                                  private ListModelHost {
public:
    static constexpr const char* kClassName = "ListCtrl";

    PasswordListControl();
    ~PasswordListControl() override;

    // Registers the window class so the dialog template can create the
    // control; answers false when the class cannot be registered.
    static bool RegisterWindowClass(HINSTANCE instance);

    // The list's set-up, once the window has been taken over: images,
    // cursors, view settings, frame, drop target and tooltip. False when the
    // images, cursors or fonts cannot be had.
    bool Setup();
    // Reads the system's colours, fonts, metrics and themes again.
    bool LoadViewSettings();
    // Where the list, its tip and its editors take their fonts from, from the
    // next load of the view settings on; the system's message font unless
    // the owner says otherwise.
    void SetFontSource(ListFontSource source) { look.fontSource = source; }
    // Fonts, images, sizes and column widths for a new DPI, repainted: what
    // a move to a screen of another scale brings.
    void ChangeDpi(int dpi);

    HWND Handle() const override { return SubclassedWindow::Handle(); }
    ListModel& Model() override { return model; }
    const ListModel& Model() const { return model; }
    const ListLook& Look() const override { return look; }
    const ListViewOptions& Options() const override { return options; }
    bool Themed() const { return IsThemed(look, options); }

    // The images of the cells' image field; lent, never freed by the list.
    void SetImageList(HIMAGELIST images) { options.itemImages = images; }
    HIMAGELIST ImageList() const { return options.itemImages; }

    ListLayout Layout() const override;
    ListPaintState PaintState() const override;
    // Paints the given part of the client area into dc, double buffered.
    // WM_PAINT and WM_PRINTCLIENT both come here.
    void Paint(HDC dc, const RECT& area);

    void EnsureVisible(int row, int position) override;
    // Scrolls the focused row into view (the end of the bring-into-view wait)
    // and tries the focused cell's editor.
    void BringFocusIntoView();
    // Opens the in-place editor that the cell's format asks for, when the
    // list holds the focus; answers whether one opened.
    bool EditItem(int row, int position);
    bool IsEditing() const override { return editing.IsOpen(); }
    // As Ctrl with an arrow key does.
    void FocusRow(int row) override;

    HeaderHit HitTestHeader(int x, int y) const;
    ListHit HitTestCell(POINT point) const;
    bool SetColumnWidth(int position, int width) override;
    void SizeColumnToContent(int position);
    void SortByColumn(int position) override;
    void MoveDraggedColumn(int dragged, int dropPosition, int underPointer) override;
    bool IsAnimating() const { return scroller.IsAnimating(); }

    void ShowTitleTip(POINT point, const ListHit& hit) override;
    void HideTitleTip() override;
    HWND TitleTipWindow() const;

    // What screen readers see: a new reference to the list's accessible
    // object, the one WM_GETOBJECT hands out; null when it cannot be made.
    IAccessible* Accessible() { return accessibility.Object(); }

    // Recomputes the scroll ranges and repaints; repaints what changed; the
    // row across the list's width.
    void ResetScrollBars() override;
    void Repaint() override;
    void RepaintRow(int row) override;

    // The view's switches; the dialog keeps the defaults.
    ListViewOptions options;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // ListModelHost
    void FollowFocus() override;
    std::intptr_t Notify(const ListEvent& event) override;
    int SystemImageWidth() override;
    void RowsChanged(ListChange change, int row) override;

    bool LoadLook(int dpi);
    void AdjustFrame();
    void OnSize();
    void OnTimer(UINT_PTR id);
    void OnCancelMode();
    void OnFocusChange();
    void OnDestroy();

    ListModel model;
    ListLook look;
    ListEditing editing;
    ListScroller scroller;
    ListRepainter repainter;
    HeaderTracker header;
    BandSelection band;
    ListMouse mouse;
    ListKeyboard keyboard;
    std::unique_ptr<TitleTip> titleTip;
    ListAccessibility accessibility;
};
