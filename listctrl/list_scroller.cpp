// The scroll bars, the requests that move them, and the animated scrolling of
// whole rows.
#include "listctrl/list_scroller.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "listctrl/list_window.h"

// The frames of one animated scroll: the rows between the old and the new
// position, painted once, shown a slice at a time.
struct ListScroller::Animation {
    // The context goes first, so the bitmap is no longer selected in it when
    // it is deleted.
    UniqueBitmap bitmap;
    UniqueDc dc;
    int height = 0;        // of the bitmap
    int visibleHeight = 0; // of the rows that fit below the header
    int remaining = 0;     // pixels still to move
    int step = 0;
    int divisor = 0;
    bool down = false;
};

namespace {

// A bar is drawn again at most this often: a batch adds a row every few
// milliseconds, and drawing the bar each time cost more than all the rest a
// row needs.
constexpr DWORD kBarDelay = 100;

} // namespace

ListScroller::ListScroller(ListWindow& owner) : list(owner) {}

ListScroller::~ListScroller() = default;

int ListScroller::Position(int bar) const
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    return GetScrollInfo(list.Handle(), bar, &info) ? info.nPos : 0;
}

// Where the user drags the bar's thumb; the position itself when the bar
// cannot say.
int ListScroller::TrackPosition(int bar) const
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS | SIF_POS;
    return GetScrollInfo(list.Handle(), bar, &info) ? info.nTrackPos : Position(bar);
}

void ListScroller::SetPosition(int bar, int position)
{
    list.HideTitleTip();
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(list.Handle(), bar, &info, TRUE);
}

void ListScroller::ResetBars()
{
    const ListModel& model = list.Model();
    RECT client{};
    GetClientRect(list.Handle(), &client);
    const int header = list.Layout().HeaderBottom();

    SCROLLINFO vertical{};
    vertical.cbSize = sizeof vertical;
    vertical.fMask = SIF_RANGE | SIF_PAGE;
    const int totalHeight = header + model.GetItemCount() * list.Look().rowHeight;
    const int page = client.bottom - header;
    vertical.nMax = page + header >= totalHeight ? 0 : totalHeight;
    vertical.nPage = static_cast<UINT>(page > 0 ? page : 0);
    SetRange(SB_VERT, vertical, verticalRange);
    verticalBarShown = vertical.nMax > 0;

    SCROLLINFO horizontal{};
    horizontal.cbSize = sizeof horizontal;
    horizontal.fMask = SIF_RANGE | SIF_PAGE;
    const int lastColumnPixel = model.GetTotalWidth();
    const bool fits = static_cast<unsigned>(client.right) >= static_cast<unsigned>(lastColumnPixel);
    horizontal.nMax = fits ? 0 : lastColumnPixel;
    horizontal.nPage = static_cast<UINT>(client.right);
    SetRange(SB_HORZ, horizontal, horizontalRange);
    horizontalBarShown = static_cast<int>(horizontal.nPage) < horizontal.nMax;
}

// Sets a bar's range and page when they differ from what it has.
void ListScroller::SetRange(int bar, const SCROLLINFO& wanted, Range& current)
{
    if (current.set && current.maximum == wanted.nMax && current.page == wanted.nPage) {
        return;
    }
    current = Range{true, wanted.nMax, wanted.nPage};
    const DWORD now = GetTickCount();
    const bool drawNow = staleBars == 0 && now - lastBarRedraw >= kBarDelay;
    SCROLLINFO info = wanted;
    SetScrollInfo(list.Handle(), bar, &info, drawNow);
    if (drawNow) {
        lastBarRedraw = now;
        return;
    }
    if (staleBars == 0) {
        SetTimer(list.Handle(), ListWindow::kScrollBarTimer, kBarDelay - (now - lastBarRedraw),
                 nullptr);
    }
    staleBars |= bar == SB_VERT ? 1u : 2u;
}

// Only the bars, not the whole frame.
void ListScroller::OnBarTimer()
{
    KillTimer(list.Handle(), ListWindow::kScrollBarTimer);
    lastBarRedraw = GetTickCount();
    const unsigned stale = std::exchange(staleBars, 0u);
    for (const auto& [bar, range] :
         {std::pair{SB_VERT, verticalRange}, std::pair{SB_HORZ, horizontalRange}}) {
        if (stale & (bar == SB_VERT ? 1u : 2u)) {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_RANGE | SIF_PAGE;
            info.nMax = range.maximum;
            info.nPage = range.page;
            SetScrollInfo(list.Handle(), bar, &info, TRUE);
        }
    }
}

void ListScroller::EnsureVisible(int row, int position)
{
    const ListModel& model = list.Model();
    if (row < 0 || row >= model.GetItemCount() || list.Look().rowHeight <= 0) {
        return;
    }
    const ListLayout before = list.Layout();
    const ListRect rect = before.RowRect(row);
    if (rect.top < before.HeaderBottom()) {
        SetPosition(SB_VERT, row * list.Look().rowHeight);
    } else if (rect.bottom > before.Viewport().height) {
        const int fullRows = before.FullyVisibleRows();
        if (fullRows >= 1) {
            SetPosition(SB_VERT, std::max(0, row + 1 - fullRows) * list.Look().rowHeight);
        }
    }
    ListRect cell;
    if (model.FocusCellMode() && position >= 0 && list.Layout().CellRect(row, position, cell)) {
        const int width = before.Viewport().width;
        const int scroll = Position(SB_HORZ);
        if (cell.right - cell.left < width) {
            if (cell.left < 0) {
                SetPosition(SB_HORZ, scroll + cell.left);
            } else if (cell.right > width) {
                SetPosition(SB_HORZ, scroll + cell.right - width);
            }
        } else {
            SetPosition(SB_HORZ, scroll + cell.left);
        }
    }
    list.Repaint();
}

void ListScroller::CloseEditor() const
{
    if (list.IsEditing()) {
        SetFocus(list.Handle()); // the editor closes when it loses the focus
    }
}

void ListScroller::OnVScroll(int request)
{
    CloseEditor();
    list.HideTitleTip();
    const ListLayout layout = list.Layout();
    const int current = layout.Viewport().scrollY;
    const int page = layout.Viewport().height - layout.HeaderBottom();
    const int rowHeight = list.Look().rowHeight;
    switch (request) {
    case SB_LINEUP:
        ScrollRowsTo(std::max(0, current - rowHeight), true);
        break;
    case SB_LINEDOWN:
        ScrollRowsTo(current + rowHeight, true);
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
        ScrollRowsTo(list.Model().GetItemCount() * rowHeight, false);
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

void ListScroller::ScrollRowsTo(int position, bool animate)
{
    const int before = list.Layout().FirstVisibleRow();
    SetPosition(SB_VERT, position);
    const int after = list.Layout().FirstVisibleRow();
    // One animation per gesture: a request that comes while the last one is
    // still on its way jumps, so holding a key or an arrow never lags.
    if (animate && list.Options().smoothScroll && !animatingScroll && animation == nullptr) {
        animatingScroll = true;
        StartAnimation(before, after);
        return;
    }
    StopAnimation();
    list.Repaint();
}

void ListScroller::OnHScroll(int request)
{
    StopAnimation();
    CloseEditor();
    list.HideTitleTip();
    const int current = Position(SB_HORZ);
    const int last = list.Model().GetTotalWidth();
    const int width = list.Layout().Viewport().width;
    int position = current;
    switch (request) {
    case SB_LINELEFT:
        position = current - list.Look().Px(5);
        break;
    case SB_LINERIGHT:
        position = current + list.Look().Px(5);
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
    SetPosition(SB_HORZ, position);
    list.Repaint();
}

void ListScroller::OnWheel(int delta)
{
    list.HideTitleTip();
    CloseEditor();
    // More lines a notch than the list shows, "one screen at a time" among
    // them, scroll the rows that are fully in view. Wide arithmetic: the
    // system's line count may be the largest number it has.
    const long long screen = std::max(1, list.Layout().FullyVisibleRows());
    const long long lines = std::min<long long>(list.Look().wheelLines, screen);
    const long long rows = delta * lines / WHEEL_DELTA;
    long long position = Position(SB_VERT) - rows * list.Look().rowHeight;
    if (position <= 0 && rows > 0) {
        position = 0;
    }
    // The scroll range limits it further.
    SetPosition(SB_VERT, static_cast<int>(std::clamp<long long>(position, 0, INT_MAX)));
    list.Repaint();
}

void ListScroller::StartAnimation(int fromRow, int toRow)
{
    const int rows = std::abs(toRow - fromRow);
    const int rowHeight = list.Look().rowHeight;
    if (rows == 0 || rowHeight <= 0) {
        list.Repaint();
        return;
    }
    const ListPaintState state = list.PaintState();
    const int width = state.layout.Viewport().width;
    const int visibleRows = std::max(1, state.layout.RowsInView());
    auto frames = std::make_unique<Animation>();
    frames->height = (visibleRows + rows) * rowHeight;
    frames->visibleHeight = visibleRows * rowHeight;
    frames->divisor = std::clamp(rows, 4, 8);
    frames->remaining = rowHeight * rows;
    frames->step = (frames->remaining - frames->divisor) / frames->divisor;
    frames->down = fromRow < toRow;
    {
        const WindowDc windowDc(list.Handle());
        frames->dc.reset(CreateCompatibleDC(windowDc.get()));
        frames->bitmap.reset(CreateCompatibleBitmap(windowDc.get(), width, frames->height));
    }
    if (!frames->dc || !frames->bitmap) {
        list.Repaint();
        return;
    }
    SelectObject(frames->dc.get(), frames->bitmap.get());
    // Painted as if the first of the rows stood at the top of the bitmap.
    const RECT all{0, 0, width, frames->height};
    const ListPainter painter(state);
    painter.PaintBackground(frames->dc.get(), all);
    painter.PaintRows(frames->dc.get(), all, std::min(fromRow, toRow), 0);
    animation = std::move(frames);
    SetTimer(list.Handle(), ListWindow::kAnimationTimer, ListWindow::kFrameDelay, nullptr);
    OnAnimationFrame();
}

void ListScroller::OnAnimationFrame()
{
    Animation* frames = animation.get();
    if (frames == nullptr) {
        KillTimer(list.Handle(), ListWindow::kAnimationTimer);
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
    const ListLayout layout = list.Layout();
    const int header = layout.HeaderBottom();
    const int height = std::min(frames->visibleHeight, layout.Viewport().height - header);
    const WindowDc windowDc(list.Handle());
    BitBlt(windowDc.get(), 0, header, layout.Viewport().width, height, frames->dc.get(), 0, source,
           SRCCOPY);
}

void ListScroller::StopAnimation()
{
    if (animation == nullptr) {
        return;
    }
    if (list.Handle() != nullptr) {
        KillTimer(list.Handle(), ListWindow::kAnimationTimer);
    }
    animation.reset();
    list.Repaint();
}
