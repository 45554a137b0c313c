// The mouse: pressing, releasing, hot cells and cursors.
#include "listctrl/list_mouse.h"

#include <commctrl.h>

#include <cstdlib>

#include "listctrl/band_selection.h"
#include "listctrl/header_tracker.h"
#include "listctrl/list_scroller.h"
#include "listctrl/list_window.h"
#include "toolkit/module.h"

namespace {

// Moves shorter than this in both directions are a click, not a drag.
constexpr int kDragDistance = 3;
constexpr UINT_PTR kRowTool = 1000;
constexpr int kTooltipMaxWidth = 32767;

} // namespace

ListMouse::ListMouse(ListWindow& owner, HeaderTracker& headerTracker, BandSelection& bandSelection,
                     ListScroller& listScroller)
    : list(owner), header(headerTracker), band(bandSelection), scroller(listScroller)
{
}

void ListMouse::CreateRowTooltip()
{
    rowTooltip.reset(CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                     list.Handle(), nullptr, programModule.Instance(), nullptr));
    if (rowTooltip) {
        SendMessageA(rowTooltip.get(), TTM_SETMAXTIPWIDTH, 0, kTooltipMaxWidth);
    }
}

void ListMouse::Destroy()
{
    rowTooltip.reset();
}

void ListMouse::OnLButtonDown(POINT point, unsigned keys)
{
    list.HideTitleTip();
    buttonDown = true;
    pressPoint = point;
    band.Press(list.Layout().ToContent(ToListPoint(point)), false);
    scroller.StopAnimation();
    SetFocus(list.Handle());
    SetCapture(list.Handle());
    if (header.OnButtonDown(point)) {
        return;
    }
    ListModel& model = list.Model();
    const ListHit hit = list.Layout().HitTestCell(ToListPoint(point));
    if (hit.row < 0) {
        model.SetAnchorRow(-1);
        band.Allow(true);
        return;
    }
    const unsigned modifiers = keys & (kModifierShift | kModifierCtrl);
    if (modifiers == 0 && hit.position != 0) {
        band.Allow(true);
        model.SetAnchorRow(hit.row);
    }
    // A plain press on one row of several keeps them selected until the
    // button comes up, so a drag can still start from the selection.
    if (modifiers != 0 || !model.IsSelected(hit.row) || model.GetSelectedCount() < 2) {
        model.SelectItem(hit.row, hit.position, modifiers);
    }
    ActOnPressedCell(hit);
}

void ListMouse::ActOnPressedCell(const ListHit& hit)
{
    if (hit.position < 0) {
        return;
    }
    ListModel& model = list.Model();
    const int index = model.GetColumnIndex(hit.position);
    if (model.GetItemFlags(hit.row, index) & FlagReadOnly) {
        return;
    }
    switch (model.GetItemFormat(hit.row, index)) {
    case FormatCheckBox:
    case FormatCheckBox3:
        model.ToggleCheck(hit.row, hit.position);
        band.Allow(false);
        break;
    case FormatHyperLink:
        SetCursor(list.Look().handCursor.get());
        band.Allow(false);
        model.NotifyParent(hit.row, hit.position, NotifyHyperLink);
        break;
    default:
        break;
    }
}

void ListMouse::OnMove(POINT point, unsigned keys)
{
    if (!(keys & MK_LBUTTON) && buttonDown) {
        buttonDown = false;
        if (GetCapture() == list.Handle()) {
            ReleaseCapture();
        }
    }
    if (!trackingLeave) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, list.Handle(), 0};
        trackingLeave = _TrackMouseEvent(&track) != FALSE;
    }
    if (!buttonDown) {
        header.TrackHotTitle(point);
        TrackHotCell(point);
        list.ShowTitleTip(point, list.Layout().HitTestCell(ToListPoint(point)));
        return;
    }
    if (header.IsActive()) {
        // The drag's own loop holds the mouse from here; losing the capture
        // to it is no cancel.
        if (header.StartsDrag(point, pressPoint)) {
            buttonDown = false;
        }
        header.OnMove(point, pressPoint);
        return;
    }
    const int distance = list.Look().Px(kDragDistance);
    const bool moved =
        std::abs(point.x - pressPoint.x) > distance || std::abs(point.y - pressPoint.y) > distance;
    ListModel& model = list.Model();
    if (!band.Active() && moved) {
        if (band.Allowed() || !list.Options().dragSelect) {
            if (!model.SingleSelect() && !list.IsEditing()) {
                band.Start();
            }
        } else if (const ListHit hit = list.Layout().HitTestCell(ToListPoint(point));
                   hit.row >= 0 && !model.IsSelected(hit.row)) {
            model.SelectItem(hit.row, hit.position, keys & (kModifierShift | kModifierCtrl));
        }
    }
    if (band.Active()) {
        band.Update(point);
    }
}

bool ListMouse::IsActiveLink(int row, int position) const
{
    if (row < 0 || position < 0) {
        return false;
    }
    const ListModel& model = list.Model();
    const int index = model.GetColumnIndex(position);
    return model.GetItemFormat(row, index) == FormatHyperLink &&
           !(model.GetItemFlags(row, index) & FlagReadOnly);
}

void ListMouse::TrackHotCell(POINT point)
{
    const ListHit hit = list.Layout().HitTestCell(ToListPoint(point));
    if (hit.row == hotItem && hit.position == hotColumn) {
        return;
    }
    if (IsActiveLink(hotItem, hotColumn)) {
        list.RepaintRow(hotItem);
    }
    hotItem = hit.position >= 0 ? hit.row : -1;
    hotColumn = hit.position >= 0 ? hit.position : -1;
    if (IsActiveLink(hotItem, hotColumn)) {
        list.RepaintRow(hotItem);
        SetCursor(list.Look().handCursor.get());
    }
    // The rows carry no text of their own, so there is no row tooltip to
    // show: the tool is taken away wherever the pointer goes.
    if (rowTooltip) {
        SendMessageA(rowTooltip.get(), TTM_ACTIVATE, FALSE, 0);
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = list.Handle();
        tool.uId = kRowTool;
        SendMessageA(rowTooltip.get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void ListMouse::OnLButtonUp(POINT point, unsigned keys)
{
    // The press is over before the capture goes, so losing it is no cancel.
    const bool wasPressed = buttonDown;
    buttonDown = false;
    if (GetCapture() == list.Handle()) {
        ReleaseCapture();
    }
    if (header.IsActive()) {
        header.OnButtonUp();
        return;
    }
    if (band.End()) {
        return;
    }
    ListModel& model = list.Model();
    const ListHit hit = list.Layout().HitTestCell(ToListPoint(point));
    const unsigned modifiers = keys & (kModifierShift | kModifierCtrl);
    if (wasPressed && hit.row >= 0 && model.IsSelected(hit.row) && model.GetSelectedCount() > 1 &&
        modifiers == 0) {
        model.SelectItem(hit.row, hit.position, modifiers);
    }
    model.NotifyParent(hit.row, hit.position, NotifyLeftClick);
}

void ListMouse::OnRButtonDown(POINT point, unsigned keys)
{
    scroller.StopAnimation();
    SetFocus(list.Handle());
    list.HideTitleTip();
    ListModel& model = list.Model();
    const ListHit hit = list.Layout().HitTestCell(ToListPoint(point));
    if (hit.row >= 0 && !model.IsSelected(hit.row)) {
        model.SelectItem(hit.row, hit.position, keys & (kModifierShift | kModifierCtrl));
    }
}

void ListMouse::OnRButtonUp(POINT point)
{
    ListModel& model = list.Model();
    const ListHit hit = list.Layout().HitTestCell(ToListPoint(point));
    if (hit.row < 0) {
        model.ResetSelection();
    }
    model.NotifyParent(hit.row, hit.position, NotifyRightClick);
}

void ListMouse::OnDoubleClick(POINT point, unsigned keys)
{
    list.HideTitleTip();
    SendMessageA(list.Handle(), WM_LBUTTONDOWN, keys, MAKELPARAM(point.x, point.y));
    header.OnDoubleClick(point);
    const ListHit hit = list.Layout().HitTestCell(ToListPoint(point));
    list.Model().NotifyParent(hit.row, hit.position, NotifyDoubleClick);
}

void ListMouse::OnLeave()
{
    trackingLeave = false;
    header.ClearHotTitle();
    if (hotItem != -1) {
        const int row = hotItem;
        hotItem = -1;
        hotColumn = -1;
        list.RepaintRow(row);
    }
}

bool ListMouse::OnSetCursor() const
{
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(list.Handle(), &point);
    if (header.SetCursorFor(point)) {
        return true;
    }
    const ListHit cell = list.Layout().HitTestCell(ToListPoint(point));
    if (IsActiveLink(cell.row, cell.position)) {
        SetCursor(list.Look().handCursor.get());
        return true;
    }
    return false;
}

void ListMouse::Cancel()
{
    buttonDown = false;
    if (GetCapture() == list.Handle()) {
        ReleaseCapture();
    }
}
