#include "listctrl/band_selection.h"

#include <algorithm>

#include "listctrl/list_scroller.h"
#include "listctrl/list_window.h"

namespace {

// The band scrolls the list at most this often.
constexpr DWORD kScrollInterval = 10;

// Whether the bar cannot move further towards its end.
bool AtEnd(HWND window, int bar)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    return GetScrollInfo(window, bar, &info) &&
           info.nPos + static_cast<int>(info.nPage) > info.nMax;
}

} // namespace

BandSelection::BandSelection(ListWindow& owner, ListScroller& listScroller)
    : list(owner), scroller(listScroller)
{
}

void BandSelection::Press(ListPoint contentPoint, bool allowed)
{
    start = contentPoint;
    mayStart = allowed;
}

void BandSelection::Update(POINT pointer)
{
    list.HideTitleTip();
    lastPointer = pointer;
    if (GetTickCount() - lastScroll >= kScrollInterval) {
        lastScroll = GetTickCount();
        ScrollEdge(pointer);
    }
    const ListLayout layout = list.Layout();
    const ListPoint end = layout.ToContent(ToListPoint(pointer));
    rect = ListRect{std::min(start.x, end.x), std::min(start.y, end.y), std::max(start.x, end.x),
                    std::max(start.y, end.y)};
    SetTimer(list.Handle(), ListWindow::kBandTimer, ListWindow::kFrameDelay, nullptr);
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        return;
    }
    ListModel& model = list.Model();
    int first = 0;
    int last = 0;
    if (!layout.RowsCovered(rect, first, last)) {
        first = last = model.GetItemCount(); // a band over no row selects none
    }
    model.SelectRows(first, last);
    RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void BandSelection::OnTimer()
{
    if (active) {
        // The captured pointer may rest outside the list while the rows
        // scroll under it; it is where the last move left it.
        Update(lastPointer);
    } else {
        KillTimer(list.Handle(), ListWindow::kBandTimer);
    }
}

bool BandSelection::End()
{
    mayStart = false;
    if (!active) {
        return false;
    }
    active = false;
    KillTimer(list.Handle(), ListWindow::kBandTimer);
    list.Repaint();
    return true;
}

// Without animation: the band follows the rows as they move.
void BandSelection::ScrollEdge(POINT pointer)
{
    const ListLayout layout = list.Layout();
    const int rowHeight = list.Look().rowHeight;
    const int position = layout.Viewport().scrollY;
    if (pointer.y < layout.HeaderBottom()) {
        scroller.ScrollRowsTo(std::max(0, position - rowHeight), false);
    } else if (pointer.y > layout.Viewport().height) {
        scroller.ScrollRowsTo(position + rowHeight, false);
    }
    if (pointer.x < 0) {
        scroller.OnHScroll(SB_LINELEFT);
    } else if (pointer.x > layout.Viewport().width) {
        scroller.OnHScroll(SB_LINERIGHT);
    }
}

RECT BandSelection::PaintedRect() const
{
    const ListLayout layout = list.Layout();
    RECT band = ToRect(layout.ToClient(rect));
    const ListViewport& viewport = layout.Viewport();
    if (AtEnd(list.Handle(), SB_HORZ) && band.right > viewport.width) {
        band.right = viewport.width;
    }
    if (AtEnd(list.Handle(), SB_VERT) && band.bottom > viewport.height) {
        band.bottom = viewport.height;
    }
    if (viewport.scrollX == 0) {
        band.left = std::max<LONG>(band.left, 0);
    }
    if (viewport.scrollY == 0) {
        band.top = std::max<LONG>(band.top, layout.HeaderBottom());
    }
    return band;
}
