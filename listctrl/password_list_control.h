#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "listctrl/list_look.h"
#include "listctrl/list_model.h"
#include "toolkit/accessible_object.h"
#include "toolkit/subclassed_window.h"
#include "toolkit/unique_handles.h"

class ColumnDropTarget;
class ComboEditor;
class DateEditor;
class EditBoxEditor;
class HeaderDragDrop;
class TitleTip;

// The record of the list's WM_NOTIFY messages.
struct ListNotify {
    NMHDR header;
    int row;
    int column; // data index; 0 when no column is concerned
    BYTE key;
    char* text;
    SYSTEMTIME* dateTime;
};

// The 14-digit text of a date cell as the user's locale writes it, as the
// flags ask (date, time or both); empty when it is no date.
std::string FormatCellDate(const ListModel& model, int row, int index, std::uint32_t flags);

// A cell under a point: the row and the column's display position.
struct ListHit {
    int row = -1;
    int position = -1;
};

// What HitTestHeader finds: a column's display position, and whether the
// point is on its right edge.
struct HeaderHit {
    static constexpr unsigned kOnEdge = 0x1;
    static constexpr unsigned kLeftOfEdge = 0x2;
    static constexpr unsigned kRightOfEdge = 0x4;

    int position = -1;
    unsigned edge = 0;
};

// The password list: control 1026, window class "ListCtrl". The dialog
// template creates a plain window of the class; binding the object takes it
// over. The rows live in the model and change only on the window's thread,
// which is also the one that paints them.
class PasswordListControl final : public SubclassedWindow, private ListModelHost {
public:
    static constexpr const char* kClassName = "ListCtrl";
    static constexpr UINT_PTR kResizeTimer = 1001;
    static constexpr UINT_PTR kBringIntoViewTimer = 1002;
    static constexpr UINT_PTR kBandTimer = 1003;
    static constexpr UINT_PTR kAnimationTimer = 1004;
    static constexpr UINT_PTR kScrollBarTimer = 1005;
    static constexpr UINT kBringIntoViewDelay = 250;
    static constexpr UINT kFrameDelay = 20;
    static constexpr DWORD kScrollBarDelay = 100;

    PasswordListControl();
    ~PasswordListControl() override;

    // Registers the window class so the dialog template can create the
    // control; answers false when the class cannot be registered.
    static bool RegisterWindowClass(HINSTANCE instance);

    // The list's own set-up, once the window has been taken over: images,
    // cursors, view settings, frame, drop target and tooltip. False when the
    // images, cursors or fonts cannot be had.
    bool Setup();
    // Reads the system's colours, fonts, metrics and themes again.
    bool LoadViewSettings();
    // Fonts, images, sizes and column widths for a new DPI, repainted: what
    // a move to a screen of another scale brings.
    void ChangeDpi(int dpi);

    ListModel& Model() { return model; }
    const ListModel& Model() const { return model; }

    // The images of the cells' image field; lent, never freed by the list.
    void SetImageList(HIMAGELIST images) { itemImages = images; }
    HIMAGELIST ImageList() const { return itemImages; }

    // Paints the given part of the client area into dc, through one
    // off-screen bitmap. WM_PAINT and WM_PRINTCLIENT both come here.
    void Paint(HDC dc, const RECT& area);

    // Scrolls so the row (and in cell mode the column) is fully visible.
    void EnsureVisible(int row, int position);
    // Scrolls the focused row into view (the end of the bring-into-view wait)
    // and tries the focused cell's editor.
    void BringFocusIntoView();
    // Opens the in-place editor that the cell's format asks for, when the
    // list holds the focus; answers whether one opened.
    bool EditItem(int row, int position);

    HeaderHit HitTestHeader(int x, int y) const;
    ListHit HitTestCell(POINT point) const;
    bool SetColumnWidth(int position, int width);
    void SizeColumnToContent(int position);
    void SortByColumn(int position);
    // Takes the dragged column out of the display order and puts it before
    // dropPosition, as a drop of a header drag does.
    void MoveDraggedColumn(int dragged, int dropPosition, int underPointer);

    // The view's switches; the dialog keeps the defaults.
    bool themedLook = true;
    bool smoothScroll = true;
    bool dragSelect = false;
    bool tileBackground = false;
    HBITMAP backgroundBitmap = nullptr; // lent

    const ListLook& Look() const { return look; }
    ListColors& Colors() { return look.colors; }
    bool Themed() const { return themedLook && look.headerTheme; }
    int HeaderBottom() const { return model.showHeader ? model.headerHeight : 0; }
    int ScrollPosition(int bar) const;
    bool IsAnimating() const { return animation != nullptr; }
    UINT HeaderClipboardFormat() const { return headerClipboardFormat; }
    int DropPosition() const { return dropPosition; }
    HWND DropMarker() const { return dropMarker.get(); }
    HWND TitleTipWindow() const;

    // What screen readers see: a new reference to the list's accessible
    // object, the one WM_GETOBJECT hands out; null when it cannot be made.
    IAccessible* Accessible();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class ColumnDropTarget;
    friend class HeaderDragDrop;
    friend class ListAccessible;
    struct Animation;

    // ListModelHost
    void ResetScrollBars() override;
    void Repaint() override;
    void RepaintRow(int row) override;
    void FollowFocus() override;
    std::intptr_t Notify(const ListEvent& event) override;
    int SystemImageWidth() override;
    void RowsChanged(ListChange change, int row) override;

    // Screen readers (list_accessible.cpp, list_accessible_events.cpp).
    bool OnGetObject(WPARAM wParam, LPARAM lParam, LRESULT& result);
    void AnnounceSelection();
    // gained: the list has just taken the keyboard focus.
    void AnnounceFocus(bool gained = false);
    void RaiseEvent(DWORD event, LONG child) const;

    // Settings and set-up (password_list_control.cpp).
    bool LoadResources(int dpi);
    // The view settings, images and cursors for the DPI.
    bool LoadLook(int dpi);
    void AdjustFrame();
    void CreateTooltip();
    void OnDestroy();
    void OnSize();
    void OnTimer(UINT_PTR id);

    // In-place editing (list_edit.cpp).
    void BeginEditing();
    bool Opened(bool opened);
    bool IsEditorWindow(HWND candidate) const;
    bool OnEditorNotify(LPARAM lParam);
    void OnEditorCommand(WPARAM wParam, LPARAM lParam);
    void OnEndEdit(const ListNotify& notice);
    bool IsFocusCellInView() const;

    // Repainting what changed (list_repaint.cpp).
    struct ShownState {
        bool valid = false;
        std::size_t layout = 0;
        int first = 0;
        std::vector<std::size_t> rows; // the visible rows, from the first
    };
    std::size_t LayoutHash() const;
    std::size_t RowHash(int row) const;
    void RepaintAll();

    // Geometry (list_scroll.cpp).
    struct ScrollRange {
        bool set = false;
        int maximum = 0;
        UINT page = 0;
    };
    void SetScrollRange(int bar, const SCROLLINFO& wanted, ScrollRange& current);
    void OnScrollBarTimer();
    void SetScrollPosition(int bar, int position);
    int TrackPosition(int bar) const;
    int FirstVisibleRow() const;
    // How far down the rows are drawn, in pixels: the first visible row's
    // top. The scroll position may lie between two rows; painting, clicks
    // and the band all count from here so they agree on every row.
    int RowOrigin() const;
    int FullyVisibleRows() const;
    RECT RowRect(int row) const;
    bool CellRect(int row, int position, RECT& cell) const;
    RECT TextRect(const RECT& cell, int position) const;
    // The text rectangle as painting lays it out, right of a cell's image.
    RECT CellTextRect(int row, int position, const RECT& cell) const;
    bool ShowsCellImage(int row, int position, int image) const;
    bool IsRowFullyVisible(int row) const;
    int ClientHeight() const;
    int ClientWidth() const;

    // Scrolling (list_scroll.cpp).
    void OnVScroll(int request, int trackPosition);
    void OnHScroll(int request, int trackPosition);
    void ScrollRowsTo(int position, bool animate);
    void StartAnimation(int fromRow, int toRow);
    void OnAnimationFrame();
    void StopAnimation();

    // Painting (list_paint.cpp).
    void PaintContent(HDC dc, const RECT& clip);
    void PaintBackground(HDC dc, const RECT& clip);
    void PaintRows(HDC dc, const RECT& clip, int firstRow, int top);
    void PaintRow(HDC dc, const RECT& clip, int row, const RECT& rowRect);
    void PaintCell(HDC dc, int row, int position, const RECT& cell, bool selected, bool focused);
    void PaintCellText(HDC dc, int row, int index, int format, std::uint32_t flags,
                       const RECT& cell, const RECT& textRect);
    void PaintProgress(HDC dc, const RECT& cell, int value, std::uint32_t flags);
    void PaintBand(HDC dc);
    bool ListHasFocus() const;

    // The header (list_header.cpp).
    void PaintHeader(HDC dc, const RECT& clip);
    void PaintHeaderTitle(HDC dc, const ListColumn& column, const RECT& columnRect, bool first,
                          bool withArrow);
    void RepaintHeader();
    bool OnHeaderButtonDown(POINT point);
    void OnHeaderMove(POINT point);
    void OnHeaderButtonUp();
    void OnResizeTimer();
    void TrackHotTitle(POINT point);
    bool ShowsSortArrow(const ListColumn& column) const;
    void EndHeaderPress();

    // Mouse and keys (list_mouse.cpp, list_keys.cpp).
    void OnLButtonDown(POINT point, unsigned keys);
    void OnMouseMove(POINT point, unsigned keys);
    void OnLButtonUp(POINT point, unsigned keys);
    void OnRButtonDown(POINT point, unsigned keys);
    void OnRButtonUp(POINT point);
    void OnLButtonDblClk(POINT point, unsigned keys);
    void OnMouseLeave();
    void OnMouseWheel(int delta);
    void OnCancelMode();
    void OnFocusChange();
    void ActOnPressedCell(const ListHit& hit);
    void TrackHotCell(POINT point);
    // The title tip: shown over a cut-off cell under the pointer, hidden by
    // nearly everything else the list does.
    void UpdateTitleTip(POINT point, const ListHit& hit);
    void HideTitleTip();
    std::string TipText(int row, int index) const;
    // pointer: where the pointer is, in client coordinates.
    void UpdateBand(POINT pointer);
    void ScrollBandEdge(POINT pointer);
    void OnKeyDown(UINT key);
    bool MoveFocusByKey(UINT key, bool ctrl, int& row, int& position);
    void TypeAhead(char typed);
    void ToggleFocusedCheck();
    int EffectiveFocusRow() const;
    int EffectiveFocusColumn(int row) const;
    unsigned KeyModifiers() const;
    bool SetCursorFor(POINT point);

    ListModel model;
    ListLook look;
    HIMAGELIST itemImages = nullptr;
    UniqueImageList systemImages;
    // The cursors, made for the window's DPI; the plain handles are the
    // ones SetCursor is given.
    UniqueCursor ownResizeCursor;
    UniqueCursor ownHandCursor;
    HCURSOR resizeCursor = nullptr;
    HCURSOR handCursor = nullptr;
    UINT headerClipboardFormat = 0;
    UniqueWindow tooltip;
    std::unique_ptr<TitleTip> titleTip;
    int tipItem = -1; // the cell the title tip shows
    int tipColumn = -1;
    // One editor of each kind, made anew for every edit.
    std::unique_ptr<EditBoxEditor> editBox;
    std::unique_ptr<ComboEditor> comboBox;
    std::unique_ptr<DateEditor> datePicker;
    ShownState shown; // what the visible rows were last asked to show
    int lookGeneration = 0;
    bool verticalBarShown = false;
    bool horizontalBarShown = false;
    ScrollRange verticalRange;
    ScrollRange horizontalRange;
    unsigned staleBars = 0; // 1: vertical, 2: horizontal, drawn by the timer
    DWORD lastScrollBarRedraw = 0;

    // The pointer and the press.
    int hotItem = -1;
    int hotColumn = -1;
    bool editing = false;
    bool buttonDown = false;
    POINT pressPoint{};
    POINT pressContentPoint{};
    bool bandAllowed = false;
    bool banding = false;
    RECT bandRect{};     // content coordinates
    POINT bandPointer{}; // where the last move left the pointer
    DWORD lastBandScroll = 0;
    bool trackingLeave = false;

    // Type-ahead.
    std::string searchText;
    DWORD lastSearchTime = 0;
    bool searchedBefore = false;

    // The header.
    int pressedColumn = -1;
    int hotTitle = -1;
    bool resizing = false;
    int resizeColumn = -1;
    int resizeStartWidth = 0;
    int resizeStartX = 0;
    bool resizeTimerOn = false;
    int resizeTimerX = 0;
    int draggedColumn = -1;
    int dropPosition = -1;
    UniqueWindow dropMarker;
    std::unique_ptr<HeaderDragDrop> dragDrop;

    // Smooth scrolling: a line or page move animates once per end-of-scroll
    // notice; the frames run from a pre-rendered bitmap.
    bool animatingScroll = false;
    std::unique_ptr<Animation> animation;

    // What screen readers were last told: the selected rows and the focus row.
    AccessibleSlot accessible;
    std::vector<int> announcedSelection;
    int announcedFocus = -1;
};
