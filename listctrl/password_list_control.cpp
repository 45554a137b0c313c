// The list's window: registration, set-up, view settings, the message map
// and the wiring between its parts.
#include "listctrl/password_list_control.h"

#include <windowsx.h>

#include <algorithm>

#include "listctrl/list_date.h"
#include "listctrl/title_tip.h"
#include "toolkit/double_buffer.h"
#include "toolkit/dpi.h"

PasswordListControl::PasswordListControl()
    : model(this), editing(*this), scroller(*this), repainter(*this), header(*this, scroller),
      band(*this, scroller), mouse(*this, header, band, scroller), keyboard(*this, scroller),
      accessibility(*this)
{
}

PasswordListControl::~PasswordListControl()
{
    // The drop target and the editors refer to this object; they go before
    // the rest.
    header.Destroy();
    editing.Destroy();
}

bool PasswordListControl::RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassA(&windowClass) != 0) {
        return true;
    }
    // A second dialog in the same process finds the class already there.
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool PasswordListControl::Setup()
{
    if (Handle() == nullptr || !LoadViewSettings()) {
        return false;
    }
    AdjustFrame();
    // Without OLE on this thread there is no column dragging; the rest of
    // the list works the same.
    header.RegisterDragDrop();
    mouse.CreateRowTooltip();
    ResetScrollBars();
    return true;
}

bool PasswordListControl::LoadViewSettings()
{
    return LoadLook(WindowDpi(Handle()));
}

bool PasswordListControl::LoadLook(int requestedDpi)
{
    const int dpi = SaneDpi(requestedDpi);
    const int before = look.dpi;
    const int rowHeightBefore = look.rowHeight;
    // The rows hold no font or colour of the look's: whatever a load leaves
    // in the look, even one that fails half-way, is what they show.
    if (!look.Load(Handle(), dpi)) {
        return false;
    }
    if (look.rowHeight != rowHeightBefore || dpi != before || header.DropMarker() == nullptr) {
        header.MakeDropMarker();
    }
    // The tip takes the look and the font as they are now.
    HideTitleTip();
    titleTip.reset();
    titleTip = TitleTip::Create(Handle(), Themed(), look);
    return true;
}

void PasswordListControl::ChangeDpi(int requestedDpi)
{
    const int dpi = SaneDpi(requestedDpi);
    // A press, a band and an open editor were measured at the old scale.
    OnCancelMode();
    if (editing.IsOpen()) {
        SetFocus(Handle());
    }
    const int before = look.dpi;
    if (!LoadLook(dpi)) {
        return; // without the new fonts and images nothing can be measured anew
    }
    // Columns keep their share of the list, as its frame grows with the dialog.
    for (int position = 0; position < model.GetColumnCount() && before != dpi; ++position) {
        model.SetColumnWidth(position, MulDiv(model.GetColumnWidth(position), dpi, before));
    }
    // Repaints all of the list too: the look it was last painted with is gone.
    ResetScrollBars();
}

void PasswordListControl::AdjustFrame()
{
    const LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    SetWindowLongPtrA(Handle(), GWL_STYLE, (style & ~WS_BORDER) | WS_CLIPCHILDREN);
    const LONG_PTR exStyle = GetWindowLongPtrA(Handle(), GWL_EXSTYLE);
    SetWindowLongPtrA(Handle(), GWL_EXSTYLE, (exStyle & ~WS_EX_CLIENTEDGE) | WS_EX_STATICEDGE);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

ListLayout PasswordListControl::Layout() const
{
    RECT client{};
    GetClientRect(Handle(), &client);
    const ListViewport viewport{client.right, client.bottom, scroller.Position(SB_HORZ),
                                scroller.Position(SB_VERT)};
    const ListSizes sizes{look.rowHeight, options.showHeader ? look.headerHeight : 0, look.Px(5),
                          look.Px(4)};
    return ListLayout(model, viewport, sizes);
}

ListPaintState PasswordListControl::PaintState() const
{
    ListPaintState state{model, Layout(), look, options};
    state.editing = editing.IsOpen();
    state.focused = GetFocus() == Handle() || state.editing;
    state.hotItem = mouse.HotItem();
    state.hotColumn = mouse.HotColumn();
    state.pressedTitle = header.PressedColumn();
    state.hotTitle = header.HotTitle();
    state.banding = band.Active();
    if (state.banding) {
        state.band = band.PaintedRect();
    }
    return state;
}

void PasswordListControl::Paint(HDC dc, const RECT& area)
{
    const ListPaintState state = PaintState();
    const ListPainter painter(state);
    PaintDoubleBuffered(dc, area, [&](HDC target) { painter.PaintContent(target, area); });
}

void PasswordListControl::EnsureVisible(int row, int position)
{
    scroller.EnsureVisible(row, position);
}

void PasswordListControl::BringFocusIntoView()
{
    editing.BringFocusIntoView();
}

bool PasswordListControl::EditItem(int row, int position)
{
    return editing.Open(row, position);
}

void PasswordListControl::FocusRow(int row)
{
    EnsureVisible(row, -1);
    model.SetFocusCell(row, -1);
}

HeaderHit PasswordListControl::HitTestHeader(int x, int y) const
{
    return Layout().HitTestHeader(ListPoint{x, y});
}

ListHit PasswordListControl::HitTestCell(POINT point) const
{
    return Layout().HitTestCell(ToListPoint(point));
}

bool PasswordListControl::SetColumnWidth(int position, int width)
{
    return model.SetColumnWidth(position, width);
}

void PasswordListControl::SizeColumnToContent(int position)
{
    header.FitColumn(position);
}

void PasswordListControl::SortByColumn(int position)
{
    if (!options.showHeader || !model.SortEnabled()) {
        return;
    }
    const HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    model.SortByColumn(position);
    SetCursor(previous);
    Repaint();
}

void PasswordListControl::MoveDraggedColumn(int dragged, int drop, int underPointer)
{
    const int count = model.GetColumnCount();
    if (dragged < 0 || dragged >= count || drop < 0 || drop > count) {
        return;
    }
    int target = drop;
    if (dragged < underPointer && drop != 0) {
        target -= 1;
    }
    model.MoveColumn(dragged, std::min(target, count - 1));
    Repaint();
}

void PasswordListControl::ShowTitleTip(POINT point, const ListHit& hit)
{
    if (editing.IsOpen() || !titleTip) {
        return;
    }
    if (hit.row < 0 || hit.position < 0) {
        HideTitleTip();
        return;
    }
    if (titleTip->Shows(hit.row, hit.position)) {
        return;
    }
    const ListPaintState state = PaintState();
    ListRect cell;
    state.layout.CellRect(hit.row, hit.position, cell);
    RECT textRect = ListPainter(state).TextRect(hit.row, hit.position, ToRect(cell));
    const std::string text = CellText(model, hit.row, model.GetColumnIndex(hit.position));
    if (!PtInRect(&textRect, point) || text.empty()) {
        HideTitleTip();
        return;
    }
    MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&textRect), 2);
    // The rows carry no text of their own for the tip's tooltip.
    if (!titleTip->ShowTitleTip(textRect, text, std::string())) {
        HideTitleTip();
        return;
    }
    titleTip->ShowsCell(hit.row, hit.position);
}

void PasswordListControl::HideTitleTip()
{
    if (titleTip) {
        titleTip->Hide();
    }
}

HWND PasswordListControl::TitleTipWindow() const
{
    return titleTip ? titleTip->Handle() : nullptr;
}

LRESULT PasswordListControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const auto keys = static_cast<unsigned>(wParam);
    switch (message) {
    case WM_PAINT: {
        const PaintDc dc(Handle());
        if (dc.get() != nullptr) {
            Paint(dc.get(), dc.Area());
        }
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        GetClientRect(Handle(), &client);
        Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_FONTCHANGE:
    case WM_THEMECHANGED:
        LoadViewSettings();
        ResetScrollBars();
        break;
    case WM_SIZE:
        OnSize();
        break;
    case WM_DPICHANGED:
        // Windows sends this to top-level windows only; whoever sent it to
        // the list, the window's own DPI is the one to follow.
    case WM_DPICHANGED_AFTERPARENT:
        ChangeDpi(WindowDpi(Handle()));
        return 0;
    case WM_DPICHANGED_BEFOREPARENT:
        // The dialog is about to move and resize its controls.
        OnCancelMode();
        return 0;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        mouse.OnLButtonDown(point, keys);
        return 0;
    case WM_MOUSEMOVE:
        mouse.OnMove(point, keys);
        return 0;
    case WM_LBUTTONUP:
        mouse.OnLButtonUp(point, keys);
        return 0;
    case WM_LBUTTONDBLCLK:
        mouse.OnDoubleClick(point, keys);
        return 0;
    case WM_RBUTTONDOWN:
        mouse.OnRButtonDown(point, keys);
        return 0;
    case WM_RBUTTONUP:
        mouse.OnRButtonUp(point);
        return 0;
    case WM_MOUSELEAVE:
        mouse.OnLeave();
        return 0;
    case WM_MOUSEWHEEL:
        scroller.OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_VSCROLL:
        scroller.OnVScroll(LOWORD(wParam));
        return 0;
    case WM_HSCROLL:
        scroller.OnHScroll(LOWORD(wParam));
        return 0;
    case WM_KEYDOWN:
        keyboard.OnKeyDown(static_cast<UINT>(wParam));
        return 0;
    case WM_GETDLGCODE:
        // Tab belongs to the list only where it moves between cells; a list
        // of rows lets it go on to the next control, so the keyboard can
        // always leave it.
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (model.FocusCellMode() ? DLGC_WANTTAB : 0);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        OnFocusChange();
        break;
    case WM_CANCELMODE:
        OnCancelMode();
        break;
    case WM_SYSKEYDOWN:
        HideTitleTip();
        break;
    case WM_ENABLE:
        if (!wParam) {
            HideTitleTip(); // a list that takes no input shows no tip
        }
        break;
    case WM_NOTIFY:
        if (editing.OnNotify(lParam)) {
            return 0;
        }
        break;
    case WM_COMMAND:
        editing.OnCommand(wParam, lParam);
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != Handle() && mouse.ButtonDown()) {
            OnCancelMode();
        }
        break;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && mouse.OnSetCursor()) {
            return TRUE;
        }
        break;
    case WM_GETOBJECT: {
        LRESULT object = 0;
        if (accessibility.OnGetObject(wParam, lParam, object)) {
            return object;
        }
        break;
    }
    case WM_DESTROY:
        OnDestroy();
        break;
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}

void PasswordListControl::OnTimer(UINT_PTR id)
{
    switch (id) {
    case kBringIntoViewTimer:
        KillTimer(Handle(), kBringIntoViewTimer);
        editing.BringFocusIntoView();
        break;
    case kBandTimer:
        band.OnTimer();
        break;
    case kResizeTimer:
        header.OnShrinkTimer();
        break;
    case kAnimationTimer:
        scroller.OnAnimationFrame();
        break;
    case kScrollBarTimer:
        scroller.OnBarTimer();
        break;
    default:
        break;
    }
}

void PasswordListControl::OnSize()
{
    scroller.StopAnimation();
    HideTitleTip();
    if (editing.IsOpen()) {
        SetFocus(Handle()); // ends the edit: the cell moves under the editor
    }
    ResetScrollBars();
}

void PasswordListControl::OnCancelMode()
{
    mouse.Cancel();
    HideTitleTip();
    band.End();
    header.Cancel();
}

void PasswordListControl::OnFocusChange()
{
    // The selection looks different with and without the focus.
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    if (GetFocus() == Handle()) {
        accessibility.AnnounceFocus(true);
    }
}

void PasswordListControl::OnDestroy()
{
    header.Destroy();
    titleTip.reset();
    editing.Destroy();
    mouse.Destroy();
    scroller.StopAnimation();
    // A screen reader may hold the list's object longer than the window
    // lives: from now on it answers that the list is gone.
    accessibility.Disconnect();
}

void PasswordListControl::ResetScrollBars()
{
    if (Handle() == nullptr) {
        return;
    }
    scroller.ResetBars();
    Repaint();
}

void PasswordListControl::Repaint()
{
    repainter.Repaint();
}

void PasswordListControl::RepaintRow(int row)
{
    repainter.RepaintRow(row);
}

void PasswordListControl::FollowFocus()
{
    editing.FollowFocus();
}

std::intptr_t PasswordListControl::Notify(const ListEvent& event)
{
    if (Handle() == nullptr) {
        return 0;
    }
    SYSTEMTIME time = event.dateTime != nullptr ? ToSystemTime(*event.dateTime) : SYSTEMTIME{};
    ListNotify notify{};
    notify.header.hwndFrom = Handle();
    notify.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(Handle()));
    notify.header.code = static_cast<UINT>(event.code);
    notify.row = event.row;
    notify.column = event.column;
    notify.key = event.key;
    notify.text = const_cast<char*>(event.text);
    notify.dateTime = event.dateTime != nullptr ? &time : nullptr;
    return SendMessageA(GetParent(Handle()), WM_NOTIFY, notify.header.idFrom,
                        reinterpret_cast<LPARAM>(&notify));
}

int PasswordListControl::SystemImageWidth()
{
    int width = 0;
    int height = 0;
    if (!look.systemImages || !ImageList_GetIconSize(look.systemImages.get(), &width, &height)) {
        return 0;
    }
    return width;
}

void PasswordListControl::RowsChanged(ListChange change, int row)
{
    accessibility.RowsChanged(change, row);
}
