// The mouse: pressing, releasing, the rubber band, hot cells and cursors.
#include <algorithm>

#include "listctrl/password_list_control.h"
#include "listctrl/title_tip.h"

namespace {

// Moves shorter than this in both directions are a click, not a drag.
constexpr int kDragDistance = 3;
// The band scrolls the list at most this often.
constexpr DWORD kBandScrollInterval = 10;
constexpr UINT_PTR kRowTool = 1000;

} // namespace

unsigned PasswordListControl::KeyModifiers() const
{
    unsigned modifiers = 0;
    if (GetKeyState(VK_SHIFT) < 0) {
        modifiers |= kModifierShift;
    }
    if (GetKeyState(VK_CONTROL) < 0) {
        modifiers |= kModifierCtrl;
    }
    return modifiers;
}

void PasswordListControl::OnLButtonDown(POINT point, unsigned keys)
{
    HideTitleTip();
    buttonDown = true;
    pressPoint = point;
    pressContentPoint = POINT{point.x + ScrollPosition(SB_HORZ), point.y + RowOrigin()};
    StopAnimation();
    SetFocus(Handle());
    SetCapture(Handle());
    if (OnHeaderButtonDown(point)) {
        return;
    }
    const ListHit hit = HitTestCell(point);
    if (hit.row < 0) {
        model.anchorRow = -1;
        bandAllowed = true;
        return;
    }
    const unsigned modifiers = keys & (kModifierShift | kModifierCtrl);
    if (modifiers == 0 && hit.position != 0) {
        bandAllowed = true;
        model.anchorRow = hit.row;
    }
    // A plain press on one row of several keeps them selected until the
    // button comes up, so a drag can still start from the selection.
    if (modifiers != 0 || !model.IsSelected(hit.row) || model.GetSelectedCount() < 2) {
        model.SelectItem(hit.row, hit.position, modifiers);
    }
    ActOnPressedCell(hit);
}

void PasswordListControl::ActOnPressedCell(const ListHit& hit)
{
    if (hit.position < 0) {
        return;
    }
    const int index = model.GetColumnIndex(hit.position);
    if (model.GetItemFlags(hit.row, index) & FlagReadOnly) {
        return;
    }
    switch (model.GetItemFormat(hit.row, index)) {
    case FormatCheckBox:
    case FormatCheckBox3:
        model.ToggleCheck(hit.row, hit.position);
        bandAllowed = false;
        break;
    case FormatHyperLink:
        SetCursor(handCursor);
        bandAllowed = false;
        model.NotifyParent(hit.row, hit.position, NotifyHyperLink);
        break;
    default:
        break;
    }
}

void PasswordListControl::OnMouseMove(POINT point, unsigned keys)
{
    if (!(keys & MK_LBUTTON) && buttonDown) {
        buttonDown = false;
        if (GetCapture() == Handle()) {
            ReleaseCapture();
        }
    }
    if (!trackingLeave) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        trackingLeave = _TrackMouseEvent(&track) != FALSE;
    }
    if (buttonDown) {
        if (resizing || pressedColumn >= 0) {
            OnHeaderMove(point);
            return;
        }
        const bool moved = std::abs(point.x - pressPoint.x) > look.Px(kDragDistance) ||
                           std::abs(point.y - pressPoint.y) > look.Px(kDragDistance);
        if (!banding && moved) {
            if (bandAllowed || !dragSelect) {
                banding = !model.singleSelect && !editing;
            } else {
                const ListHit hit = HitTestCell(point);
                if (hit.row >= 0 && !model.IsSelected(hit.row)) {
                    model.SelectItem(hit.row, hit.position,
                                     keys & (kModifierShift | kModifierCtrl));
                }
            }
        }
        if (banding) {
            UpdateBand(point);
        }
        return;
    }
    TrackHotTitle(point);
    TrackHotCell(point);
    UpdateTitleTip(point, HitTestCell(point));
}

void PasswordListControl::TrackHotCell(POINT point)
{
    const ListHit hit = HitTestCell(point);
    const auto isLink = [this](int row, int position) {
        if (row < 0 || position < 0) {
            return false;
        }
        const int index = model.GetColumnIndex(position);
        return model.GetItemFormat(row, index) == FormatHyperLink &&
               !(model.GetItemFlags(row, index) & FlagReadOnly);
    };
    if (hit.row == hotItem && hit.position == hotColumn) {
        return;
    }
    if (isLink(hotItem, hotColumn)) {
        RepaintRow(hotItem);
    }
    hotItem = hit.position >= 0 ? hit.row : -1;
    hotColumn = hit.position >= 0 ? hit.position : -1;
    if (isLink(hotItem, hotColumn)) {
        RepaintRow(hotItem);
        SetCursor(handCursor);
    }
    // The rows carry no text of their own, so there is no row tooltip to
    // show: the tool is taken away wherever the pointer goes.
    if (tooltip) {
        SendMessageA(tooltip.get(), TTM_ACTIVATE, FALSE, 0);
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = Handle();
        tool.uId = kRowTool;
        SendMessageA(tooltip.get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void PasswordListControl::OnLButtonUp(POINT point, unsigned keys)
{
    // The press is over before the capture goes, so losing it is no cancel.
    const bool wasPressed = buttonDown;
    buttonDown = false;
    if (GetCapture() == Handle()) {
        ReleaseCapture();
    }
    if (resizing || pressedColumn >= 0) {
        OnHeaderButtonUp();
        return;
    }
    bandAllowed = false;
    if (banding) {
        banding = false;
        KillTimer(Handle(), kBandTimer);
        Repaint();
        return;
    }
    const ListHit hit = HitTestCell(point);
    const unsigned modifiers = keys & (kModifierShift | kModifierCtrl);
    if (wasPressed && hit.row >= 0 && model.IsSelected(hit.row) && model.GetSelectedCount() > 1 &&
        modifiers == 0) {
        model.SelectItem(hit.row, hit.position, modifiers);
    }
    model.NotifyParent(hit.row, hit.position, NotifyLeftClick);
}

void PasswordListControl::OnRButtonDown(POINT point, unsigned keys)
{
    StopAnimation();
    SetFocus(Handle());
    HideTitleTip();
    const ListHit hit = HitTestCell(point);
    if (hit.row >= 0 && !model.IsSelected(hit.row)) {
        model.SelectItem(hit.row, hit.position, keys & (kModifierShift | kModifierCtrl));
    }
}

void PasswordListControl::OnRButtonUp(POINT point)
{
    const ListHit hit = HitTestCell(point);
    if (hit.row < 0) {
        model.ResetSelection();
    }
    model.NotifyParent(hit.row, hit.position, NotifyRightClick);
}

void PasswordListControl::OnLButtonDblClk(POINT point, unsigned keys)
{
    HideTitleTip();
    SendMessageA(Handle(), WM_LBUTTONDOWN, keys, MAKELPARAM(point.x, point.y));
    const HeaderHit edge = HitTestHeader(point.x, point.y);
    if (edge.edge & HeaderHit::kOnEdge) {
        SizeColumnToContent(edge.position);
        // The press above began a resize from the width before the fit: a
        // drag that follows goes on from the fitted width.
        if (resizing && resizeColumn >= 0) {
            POINT screen = point;
            ClientToScreen(Handle(), &screen);
            resizeStartWidth = model.GetColumnWidth(resizeColumn);
            resizeStartX = screen.x;
        }
    }
    const ListHit hit = HitTestCell(point);
    model.NotifyParent(hit.row, hit.position, NotifyDoubleClick);
}

void PasswordListControl::OnMouseLeave()
{
    trackingLeave = false;
    if (hotTitle != -1) {
        hotTitle = -1;
        RepaintHeader();
    }
    if (hotItem != -1) {
        const int row = hotItem;
        hotItem = -1;
        hotColumn = -1;
        RepaintRow(row);
    }
}

void PasswordListControl::OnCancelMode()
{
    buttonDown = false;
    if (GetCapture() == Handle()) {
        ReleaseCapture();
    }
    HideTitleTip();
    if (banding) {
        banding = false;
        KillTimer(Handle(), kBandTimer);
        Repaint();
    }
    bandAllowed = false;
    ShowWindow(dropMarker.get(), SW_HIDE);
    draggedColumn = -1;
    EndHeaderPress();
}

void PasswordListControl::OnFocusChange()
{
    // The selection looks different with and without the focus.
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    if (GetFocus() == Handle()) {
        AnnounceFocus(true);
    }
}

bool PasswordListControl::SetCursorFor(POINT point)
{
    if (resizing) {
        SetCursor(resizeCursor);
        return true;
    }
    const HeaderHit hit = HitTestHeader(point.x, point.y);
    ListColumn column;
    if ((hit.edge & HeaderHit::kOnEdge) && model.GetColumn(hit.position, column) && !column.fixed) {
        SetCursor(resizeCursor);
        return true;
    }
    const ListHit cell = HitTestCell(point);
    if (cell.row >= 0 && cell.position >= 0) {
        const int index = model.GetColumnIndex(cell.position);
        if (model.GetItemFormat(cell.row, index) == FormatHyperLink &&
            !(model.GetItemFlags(cell.row, index) & FlagReadOnly)) {
            SetCursor(handCursor);
            return true;
        }
    }
    return false;
}

void PasswordListControl::UpdateBand(POINT pointer)
{
    HideTitleTip();
    bandPointer = pointer;
    if (GetTickCount() - lastBandScroll >= kBandScrollInterval) {
        lastBandScroll = GetTickCount();
        ScrollBandEdge(pointer);
    }
    const POINT end{pointer.x + ScrollPosition(SB_HORZ), pointer.y + RowOrigin()};
    bandRect = RECT{std::min(pressContentPoint.x, end.x), std::min(pressContentPoint.y, end.y),
                    std::max(pressContentPoint.x, end.x), std::max(pressContentPoint.y, end.y)};
    SetTimer(Handle(), kBandTimer, kFrameDelay, nullptr);
    if (IsRectEmpty(&bandRect)) {
        return;
    }
    const int header = HeaderBottom();
    const int count = model.GetItemCount();
    int first = count;
    int last = count;
    if (bandRect.left < model.GetTotalWidth() && bandRect.bottom >= header && model.rowHeight > 0) {
        first = std::max(0, (static_cast<int>(bandRect.top) - header) / model.rowHeight);
        last = std::min(count - 1, (static_cast<int>(bandRect.bottom) - header) / model.rowHeight);
        if (first > last) {
            first = last = count;
        }
    }
    model.SelectRows(first, last);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void PasswordListControl::ScrollBandEdge(POINT pointer)
{
    RECT client{};
    GetClientRect(Handle(), &client);
    // Without animation: the band follows the rows as they move.
    if (pointer.y < HeaderBottom()) {
        ScrollRowsTo(std::max(0, ScrollPosition(SB_VERT) - model.rowHeight), false);
    } else if (pointer.y > client.bottom) {
        ScrollRowsTo(ScrollPosition(SB_VERT) + model.rowHeight, false);
    }
    if (pointer.x < client.left) {
        OnHScroll(SB_LINELEFT, 0);
    } else if (pointer.x > client.right) {
        OnHScroll(SB_LINERIGHT, 0);
    }
}

std::string PasswordListControl::TipText(int row, int index) const
{
    const std::uint32_t flags = model.GetItemFlags(row, index);
    switch (model.GetItemFormat(row, index)) {
    case FormatDateTime:
        return FormatCellDate(model, row, index, flags);
    case FormatCheckBox:
    case FormatCheckBox3:
    case FormatProgress:
        return {}; // pictures, not text
    default:
        return model.GetItemText(row, index);
    }
}

void PasswordListControl::UpdateTitleTip(POINT point, const ListHit& hit)
{
    if (editing || !titleTip) {
        return;
    }
    if (hit.row < 0 || hit.position < 0) {
        HideTitleTip();
        return;
    }
    if (hit.row == tipItem && hit.position == tipColumn && titleTip->Visible()) {
        return;
    }
    RECT cell{};
    CellRect(hit.row, hit.position, cell);
    RECT textRect = CellTextRect(hit.row, hit.position, cell);
    const std::string text = TipText(hit.row, model.GetColumnIndex(hit.position));
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
    tipItem = hit.row;
    tipColumn = hit.position;
}

void PasswordListControl::HideTitleTip()
{
    tipItem = -1;
    tipColumn = -1;
    if (titleTip) {
        titleTip->Hide();
    }
}
