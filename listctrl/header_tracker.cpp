// The header under the mouse: pressing titles, sizing columns by their edges,
// sorting on release and starting column drags.
#include "listctrl/header_tracker.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "listctrl/list_scroller.h"
#include "listctrl/list_window.h"

namespace {

// A pressed title moved further than this, in either direction, is dragged.
constexpr int kDragDistance = 4;

} // namespace

HeaderTracker::HeaderTracker(ListWindow& owner, const ListScroller& listScroller)
    : list(owner), scroller(listScroller)
{
}

HeaderTracker::~HeaderTracker() = default;

void HeaderTracker::RegisterDragDrop()
{
    dragDrop = HeaderDragDrop::Register(list, *this);
}

void HeaderTracker::Destroy()
{
    dragDrop.reset();
    dropMarker.reset();
}

void HeaderTracker::MakeDropMarker()
{
    dropMarker.reset(CreateDropMarker(list.Handle(), list.Look().headerHeight, list.Look()));
}

bool HeaderTracker::StartsDrag(POINT point, POINT pressPoint) const
{
    const int threshold = list.Look().Px(kDragDistance);
    return !resizing && pressedColumn >= 0 && draggedColumn < 0 &&
           (std::abs(point.x - pressPoint.x) > threshold ||
            std::abs(point.y - pressPoint.y) > threshold);
}

bool HeaderTracker::OnButtonDown(POINT point)
{
    const ListModel& model = list.Model();
    if (point.y >= list.Layout().HeaderBottom()) {
        return false;
    }
    const HeaderHit hit = list.Layout().HitTestHeader(ListPoint{point.x, point.y});
    ListColumn column;
    if ((hit.edge & HeaderHit::kOnEdge) && model.GetColumn(hit.position, column) && !column.fixed) {
        SetCursor(list.Look().resizeCursor.get());
        resizing = true;
        resizeColumn = hit.position;
        resizeStartWidth = column.width;
        POINT screen = point;
        ClientToScreen(list.Handle(), &screen);
        resizeStartX = screen.x;
    } else if (hit.position >= 0) {
        pressedColumn = hit.position;
        RepaintHeader();
    }
    return true;
}

void HeaderTracker::OnMove(POINT point, POINT pressPoint)
{
    if (resizing) {
        POINT screen = point;
        ClientToScreen(list.Handle(), &screen);
        const int width = std::max<int>(0, resizeStartWidth + (screen.x - resizeStartX));
        const int current = list.Model().GetColumnWidth(resizeColumn);
        // Shrinking a column while the list is scrolled to its right end
        // would pull the columns away under the pointer: the shrink timer
        // narrows it steadily instead.
        if (scroller.HorizontalBarShown() && list.Layout().IsScrolledFullyRight() &&
            width < current && !shrinking) {
            shrinking = true;
            shrinkStartX = screen.x;
            SetTimer(list.Handle(), ListWindow::kResizeTimer, ListWindow::kFrameDelay, nullptr);
        }
        if (!shrinking) {
            list.SetColumnWidth(resizeColumn, width);
        }
        return;
    }
    if (!StartsDrag(point, pressPoint)) {
        return;
    }
    list.HideTitleTip();
    Drag(pressedColumn);
    // After the drag, or instead of one where there is no dragging: the
    // press is over and releasing the button sorts nothing.
    ShowWindow(dropMarker.get(), SW_HIDE);
    ReleaseCapture();
    draggedColumn = -1;
    EndPress();
}

void HeaderTracker::Drag(int position)
{
    if (dragDrop) {
        draggedColumn = position;
        dragDrop->DragColumn(position);
    }
}

void HeaderTracker::OnShrinkTimer()
{
    POINT cursor{};
    GetCursorPos(&cursor);
    const ListModel& model = list.Model();
    if (!resizing || !scroller.HorizontalBarShown() || cursor.x > shrinkStartX) {
        KillTimer(list.Handle(), ListWindow::kResizeTimer);
        shrinking = false;
        resizeStartX = cursor.x;
        resizeStartWidth = model.GetColumnWidth(resizeColumn);
        return;
    }
    if (cursor.x < resizeStartX && list.Layout().IsScrolledFullyRight()) {
        const int width =
            std::max<int>(0, model.GetColumnWidth(resizeColumn) + (cursor.x - shrinkStartX));
        resizeStartWidth = width;
        list.SetColumnWidth(resizeColumn, width);
    }
}

void HeaderTracker::OnButtonUp()
{
    if (pressedColumn >= 0 && !resizing) {
        list.SortByColumn(pressedColumn);
    }
    EndPress();
}

void HeaderTracker::OnDoubleClick(POINT point)
{
    const HeaderHit edge = list.Layout().HitTestHeader(ListPoint{point.x, point.y});
    if (!(edge.edge & HeaderHit::kOnEdge)) {
        return;
    }
    FitColumn(edge.position);
    // The press of the double-click began a resize from the width before
    // the fit.
    if (resizing && resizeColumn >= 0) {
        POINT screen = point;
        ClientToScreen(list.Handle(), &screen);
        resizeStartWidth = list.Model().GetColumnWidth(resizeColumn);
        resizeStartX = screen.x;
    }
}

void HeaderTracker::EndPress()
{
    if (shrinking) {
        KillTimer(list.Handle(), ListWindow::kResizeTimer);
        shrinking = false;
    }
    resizing = false;
    resizeColumn = -1;
    pressedColumn = -1;
    resizeStartWidth = 0;
    resizeStartX = 0;
    RepaintHeader();
}

void HeaderTracker::Cancel()
{
    ShowWindow(dropMarker.get(), SW_HIDE);
    draggedColumn = -1;
    EndPress();
}

void HeaderTracker::TrackHotTitle(POINT point)
{
    if (IsThemed(list.Look(), list.Options())) {
        SetHotTitle(list.Layout().HitTestHeader(ListPoint{point.x, point.y}).position);
    }
}

void HeaderTracker::ClearHotTitle()
{
    SetHotTitle(-1);
}

void HeaderTracker::SetHotTitle(int position)
{
    if (position != hotTitle) {
        hotTitle = position;
        RepaintHeader();
    }
}

bool HeaderTracker::SetCursorFor(POINT point) const
{
    const HeaderHit hit = list.Layout().HitTestHeader(ListPoint{point.x, point.y});
    ListColumn column;
    if (resizing || ((hit.edge & HeaderHit::kOnEdge) &&
                     list.Model().GetColumn(hit.position, column) && !column.fixed)) {
        SetCursor(list.Look().resizeCursor.get());
        return true;
    }
    return false;
}

void HeaderTracker::RepaintHeader() const
{
    if (list.Handle() == nullptr) {
        return;
    }
    const ListLayout layout = list.Layout();
    if (layout.HeaderBottom() > 0) {
        const RECT band{0, 0, layout.Viewport().width, layout.HeaderBottom()};
        InvalidateRect(list.Handle(), &band, FALSE);
    }
}

void HeaderTracker::FitColumn(int position)
{
    const ListModel& model = list.Model();
    ListColumn column;
    if (!model.GetColumn(position, column) || column.fixed) {
        return;
    }
    const WindowDc dc(list.Handle());
    if (dc.get() == nullptr) {
        return;
    }
    int widest = 0;
    {
        const SelectGuard font(dc.get(), list.Look().listFont.get());
        const auto measure = [&dc](const std::string& text) {
            SIZE size{};
            GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
            return static_cast<int>(size.cx);
        };
        const int padding = list.Look().Px(20);
        widest = measure(column.title) + padding;
        int imageWidth = 0;
        int imageHeight = 0;
        if (list.Options().itemImages != nullptr) {
            ImageList_GetIconSize(list.Options().itemImages, &imageWidth, &imageHeight);
        }
        for (int row = 0; row < model.GetItemCount(); ++row) {
            int width = measure(model.GetItemText(row, column.index)) + padding;
            if (list.Options().itemImages != nullptr &&
                model.GetItemImage(row, column.index) != -1) {
                width += imageWidth;
            }
            widest = std::max(widest, width);
        }
    }
    list.SetColumnWidth(position, widest);
}
