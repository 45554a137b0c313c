// Where rows and cells lie, the scroll bars, and the animated scrolling of
// whole rows.
#include <algorithm>
#include <climits>
#include <utility>

#include "listctrl/list_animation.h"
#include "listctrl/password_list_control.h"

int PasswordListControl::ScrollPosition(int bar) const
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    return GetScrollInfo(Handle(), bar, &info) ? info.nPos : 0;
}

// Where the user drags the bar's thumb; the position itself when the bar
// cannot say.
int PasswordListControl::TrackPosition(int bar) const
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS | SIF_POS;
    return GetScrollInfo(Handle(), bar, &info) ? info.nTrackPos : ScrollPosition(bar);
}

void PasswordListControl::SetScrollPosition(int bar, int position)
{
    // The cells move away from under the tip.
    HideTitleTip();
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(Handle(), bar, &info, TRUE);
}

int PasswordListControl::ClientHeight() const
{
    RECT client{};
    GetClientRect(Handle(), &client);
    return client.bottom;
}

int PasswordListControl::ClientWidth() const
{
    RECT client{};
    GetClientRect(Handle(), &client);
    return client.right;
}

int PasswordListControl::FirstVisibleRow() const
{
    return model.rowHeight > 0 ? ScrollPosition(SB_VERT) / model.rowHeight : 0;
}

int PasswordListControl::RowOrigin() const
{
    return FirstVisibleRow() * model.rowHeight;
}

int PasswordListControl::FullyVisibleRows() const
{
    return model.rowHeight > 0 ? std::max(0, (ClientHeight() - HeaderBottom()) / model.rowHeight)
                               : 0;
}

RECT PasswordListControl::RowRect(int row) const
{
    const int top = HeaderBottom() + (row - FirstVisibleRow()) * model.rowHeight;
    const int left = -ScrollPosition(SB_HORZ);
    return RECT{left, top, left + model.GetTotalWidth(), top + model.rowHeight};
}

bool PasswordListControl::CellRect(int row, int position, RECT& cell) const
{
    if (row < 0 || row >= model.GetItemCount() || position < 0 ||
        position >= model.GetColumnCount()) {
        return false;
    }
    cell = RowRect(row);
    for (int before = 0; before < position; ++before) {
        cell.left += model.GetColumnWidth(before);
    }
    cell.right = cell.left + model.GetColumnWidth(position) - 1;
    return true;
}

RECT PasswordListControl::TextRect(const RECT& cell, int position) const
{
    RECT text = cell;
    text.left += look.Px(position == 0 ? 4 : 3) + look.Px(4);
    text.right -= look.Px(4);
    return text;
}

bool PasswordListControl::IsRowFullyVisible(int row) const
{
    if (model.rowHeight <= 0) {
        return true; // nothing is laid out yet, so nothing can be out of view
    }
    const RECT rect = RowRect(row);
    return rect.top >= HeaderBottom() && rect.bottom <= ClientHeight();
}

ListHit PasswordListControl::HitTestCell(POINT point) const
{
    ListHit hit;
    const int header = HeaderBottom();
    if (model.rowHeight <= 0 || point.y < header) {
        return hit;
    }
    const int row = FirstVisibleRow() + (point.y - header) / model.rowHeight;
    if (row >= model.GetItemCount()) {
        return hit;
    }
    hit.row = row;
    int left = -ScrollPosition(SB_HORZ);
    for (int position = 0; position < model.GetColumnCount(); ++position) {
        const int right = left + model.GetColumnWidth(position) - 1;
        if (left < point.x && point.x < right) {
            hit.position = position;
            break;
        }
        left += model.GetColumnWidth(position);
    }
    return hit;
}

void PasswordListControl::ResetScrollBars()
{
    if (Handle() == nullptr) {
        return;
    }
    RECT client{};
    GetClientRect(Handle(), &client);
    const int header = HeaderBottom();

    SCROLLINFO vertical{};
    vertical.cbSize = sizeof vertical;
    vertical.fMask = SIF_RANGE | SIF_PAGE;
    const int totalHeight = header + model.GetItemCount() * model.rowHeight;
    const int page = client.bottom - header;
    vertical.nMax = page + header >= totalHeight ? 0 : totalHeight;
    vertical.nPage = static_cast<UINT>(page > 0 ? page : 0);
    SetScrollRange(SB_VERT, vertical, verticalRange);
    verticalBarShown = vertical.nMax > 0;

    SCROLLINFO horizontal{};
    horizontal.cbSize = sizeof horizontal;
    horizontal.fMask = SIF_RANGE | SIF_PAGE;
    const int lastColumnPixel = model.GetTotalWidth();
    const bool fits = static_cast<unsigned>(client.right) >= static_cast<unsigned>(lastColumnPixel);
    horizontal.nMax = fits ? 0 : lastColumnPixel;
    horizontal.nPage = static_cast<UINT>(client.right);
    SetScrollRange(SB_HORZ, horizontal, horizontalRange);
    horizontalBarShown = static_cast<int>(horizontal.nPage) < horizontal.nMax;

    Repaint();
}

// Sets a bar's range and page when they differ from what it has. A bar is
// drawn again at most every kScrollBarDelay milliseconds: a batch adds a row
// every few milliseconds, and drawing the bar each time cost more than all
// the rest a row needs.
void PasswordListControl::SetScrollRange(int bar, const SCROLLINFO& wanted, ScrollRange& current)
{
    if (current.set && current.maximum == wanted.nMax && current.page == wanted.nPage) {
        return;
    }
    current = ScrollRange{true, wanted.nMax, wanted.nPage};
    const DWORD now = GetTickCount();
    const bool drawNow = staleBars == 0 && now - lastScrollBarRedraw >= kScrollBarDelay;
    SCROLLINFO info = wanted;
    SetScrollInfo(Handle(), bar, &info, drawNow);
    if (drawNow) {
        lastScrollBarRedraw = now;
        return;
    }
    if (staleBars == 0) {
        SetTimer(Handle(), kScrollBarTimer, kScrollBarDelay - (now - lastScrollBarRedraw), nullptr);
    }
    staleBars |= bar == SB_VERT ? 1u : 2u;
}

// Draws the bars whose range changed since they were last drawn: only they,
// not the whole frame.
void PasswordListControl::OnScrollBarTimer()
{
    KillTimer(Handle(), kScrollBarTimer);
    lastScrollBarRedraw = GetTickCount();
    const unsigned stale = std::exchange(staleBars, 0u);
    for (const auto& [bar, range] :
         {std::pair{SB_VERT, verticalRange}, std::pair{SB_HORZ, horizontalRange}}) {
        if (stale & (bar == SB_VERT ? 1u : 2u)) {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_RANGE | SIF_PAGE;
            info.nMax = range.maximum;
            info.nPage = range.page;
            SetScrollInfo(Handle(), bar, &info, TRUE);
        }
    }
}

void PasswordListControl::EnsureVisible(int row, int position)
{
    if (row < 0 || row >= model.GetItemCount() || model.rowHeight <= 0) {
        return;
    }
    const int header = HeaderBottom();
    const RECT rect = RowRect(row);
    if (rect.top < header) {
        SetScrollPosition(SB_VERT, row * model.rowHeight);
    } else if (rect.bottom > ClientHeight()) {
        const int fullRows = FullyVisibleRows();
        if (fullRows >= 1) {
            SetScrollPosition(SB_VERT, std::max(0, row + 1 - fullRows) * model.rowHeight);
        }
    }
    RECT cell{};
    if (model.focusCellMode && position >= 0 && CellRect(row, position, cell)) {
        const int width = ClientWidth();
        const int scroll = ScrollPosition(SB_HORZ);
        if (cell.right - cell.left < width) {
            if (cell.left < 0) {
                SetScrollPosition(SB_HORZ, scroll + cell.left);
            } else if (cell.right > width) {
                SetScrollPosition(SB_HORZ, scroll + cell.right - width);
            }
        } else {
            SetScrollPosition(SB_HORZ, scroll + cell.left);
        }
    }
    Repaint();
}

void PasswordListControl::OnVScroll(int request, int)
{
    if (editing) {
        SetFocus(Handle()); // closes the editor
    }
    HideTitleTip();
    const int current = ScrollPosition(SB_VERT);
    const int page = ClientHeight() - HeaderBottom();
    switch (request) {
    case SB_LINEUP:
        ScrollRowsTo(std::max(0, current - model.rowHeight), true);
        break;
    case SB_LINEDOWN:
        ScrollRowsTo(current + model.rowHeight, true);
        break;
    case SB_PAGEUP:
        ScrollRowsTo(std::max(0, current - page), true);
        break;
    case SB_PAGEDOWN:
        ScrollRowsTo(current + page, true);
        break;
    case SB_TOP:
        ScrollRowsTo(0, false);
        break;
    case SB_BOTTOM:
        ScrollRowsTo(model.GetItemCount() * model.rowHeight, false);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        if (const int track = TrackPosition(SB_VERT); track != current) {
            ScrollRowsTo(track, false);
        }
        break;
    case SB_ENDSCROLL:
        animatingScroll = false;
        break;
    default:
        break;
    }
}

void PasswordListControl::ScrollRowsTo(int position, bool animate)
{
    const int before = FirstVisibleRow();
    SetScrollPosition(SB_VERT, position);
    const int after = FirstVisibleRow();
    // One animation per gesture: a request that comes while the last one is
    // still on its way jumps, so holding a key or an arrow never lags.
    if (animate && smoothScroll && !animatingScroll && animation == nullptr) {
        animatingScroll = true;
        StartAnimation(before, after);
        return;
    }
    StopAnimation();
    Repaint();
}

void PasswordListControl::OnHScroll(int request, int)
{
    StopAnimation();
    if (editing) {
        SetFocus(Handle());
    }
    HideTitleTip();
    const int current = ScrollPosition(SB_HORZ);
    const int last = model.GetTotalWidth();
    const int width = ClientWidth();
    int position = current;
    switch (request) {
    case SB_LINELEFT:
        position = current - look.Px(5);
        break;
    case SB_LINERIGHT:
        position = current + look.Px(5);
        break;
    case SB_PAGELEFT:
        position = current - width;
        break;
    case SB_PAGERIGHT:
        position = current + width;
        break;
    case SB_LEFT:
        position = 0;
        break;
    case SB_RIGHT:
        position = width;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        position = TrackPosition(SB_HORZ);
        if (position == current) {
            return;
        }
        break;
    default:
        return;
    }
    if (request != SB_RIGHT) {
        position = std::clamp(position, 0, std::max(0, last));
    }
    SetScrollPosition(SB_HORZ, position);
    Repaint();
}

void PasswordListControl::OnMouseWheel(int delta)
{
    HideTitleTip();
    if (editing) {
        SetFocus(Handle());
    }
    // More lines a notch than the list shows, "one screen at a time" among
    // them, scroll the rows that are fully in view. Wide arithmetic: the
    // system's line count may be the largest number it has.
    const long long screen = std::max(1, FullyVisibleRows());
    const long long lines = std::min<long long>(look.wheelLines, screen);
    const long long rows = delta * lines / WHEEL_DELTA;
    long long position = ScrollPosition(SB_VERT) - rows * model.rowHeight;
    if (position <= 0 && rows > 0) {
        position = 0;
    }
    // The scroll range limits it further.
    SetScrollPosition(SB_VERT, static_cast<int>(std::clamp<long long>(position, 0, INT_MAX)));
    Repaint();
}

void PasswordListControl::StartAnimation(int fromRow, int toRow)
{
    const int rows = std::abs(toRow - fromRow);
    if (rows == 0 || model.rowHeight <= 0) {
        Repaint();
        return;
    }
    const int header = HeaderBottom();
    const int below = std::max(0, ClientHeight() - header);
    const int visibleRows = std::max(1, (below + model.rowHeight - 1) / model.rowHeight);
    auto frames = std::make_unique<Animation>();
    frames->height = (visibleRows + rows) * model.rowHeight;
    frames->visibleHeight = visibleRows * model.rowHeight;
    frames->divisor = std::clamp(rows, 4, 8);
    frames->remaining = model.rowHeight * rows;
    frames->step = (frames->remaining - frames->divisor) / frames->divisor;
    frames->down = fromRow < toRow;

    const HDC windowDc = GetDC(Handle());
    frames->dc.reset(CreateCompatibleDC(windowDc));
    frames->bitmap.reset(CreateCompatibleBitmap(windowDc, ClientWidth(), frames->height));
    ReleaseDC(Handle(), windowDc);
    if (!frames->dc || !frames->bitmap) {
        Repaint();
        return;
    }
    SelectObject(frames->dc.get(), frames->bitmap.get());
    // Painted as if the first of the rows stood at the top of the bitmap.
    const RECT all{0, 0, ClientWidth(), frames->height};
    PaintBackground(frames->dc.get(), all);
    PaintRows(frames->dc.get(), all, std::min(fromRow, toRow), 0);
    animation = std::move(frames);
    SetTimer(Handle(), kAnimationTimer, kFrameDelay, nullptr);
    OnAnimationFrame();
}

void PasswordListControl::OnAnimationFrame()
{
    Animation* frames = animation.get();
    if (frames == nullptr) {
        KillTimer(Handle(), kAnimationTimer);
        return;
    }
    if (frames->divisor < frames->remaining) {
        frames->remaining -= frames->step;
        if (frames->remaining < frames->step) {
            frames->remaining = frames->divisor;
        }
    } else {
        frames->remaining -= 1;
    }
    if (frames->remaining < 0) {
        StopAnimation();
        return;
    }
    const int source = frames->down ? frames->height - frames->visibleHeight - frames->remaining
                                    : frames->remaining;
    const HDC windowDc = GetDC(Handle());
    const int header = HeaderBottom();
    const int height = std::min(frames->visibleHeight, ClientHeight() - header);
    BitBlt(windowDc, 0, header, ClientWidth(), height, frames->dc.get(), 0, source, SRCCOPY);
    ReleaseDC(Handle(), windowDc);
}

void PasswordListControl::StopAnimation()
{
    if (animation == nullptr) {
        return;
    }
    if (Handle() != nullptr) {
        KillTimer(Handle(), kAnimationTimer);
    }
    animation.reset();
    Repaint();
}
