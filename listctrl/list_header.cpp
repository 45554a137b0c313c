// The header band: titles, the sort arrow, sizing columns by their edges and
// sorting by a click on a title. Column dragging is in header_drag.cpp.
#include <vsstyle.h>

#include <algorithm>
#include <string>

#include "listctrl/header_drag.h"
#include "listctrl/password_list_control.h"
#include "res/resource.h"

namespace {

constexpr UINT kTitleFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;

UINT TitleAlignment(std::uint32_t flags)
{
    if (flags & FlagCentre) {
        return DT_CENTER;
    }
    return (flags & FlagRight) ? DT_RIGHT : DT_LEFT;
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF color)
{
    const UniquePen pen(CreatePen(PS_SOLID, 1, color));
    const SelectGuard select(dc, pen.get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

} // namespace

bool PasswordListControl::ShowsSortArrow(const ListColumn& column) const
{
    return model.sortEnabled && column.width > look.Px(15) && !column.fixed &&
           column.index == model.sortColumn;
}

void PasswordListControl::PaintHeader(HDC dc, const RECT& clip)
{
    const int height = model.headerHeight;
    if (!model.showHeader || clip.top >= height) {
        return;
    }
    const int width = ClientWidth();
    const bool themed = Themed();
    if (!themed) {
        FillSolid(dc, RECT{0, 0, width, height}, look.colors.headerFace);
    }
    int left = -ScrollPosition(SB_HORZ);
    const int count = model.GetColumnCount();
    for (int position = 0; position < count; ++position) {
        ListColumn column;
        model.GetColumn(position, column);
        const RECT rect{left, 0, left + column.width, height};
        left += column.width;
        if (rect.right < clip.left) {
            continue;
        }
        if (rect.left > clip.right) {
            break;
        }
        if (themed) {
            const int state = position == pressedColumn ? HIS_PRESSED
                              : position == hotTitle    ? HIS_HOT
                                                        : HIS_NORMAL;
            VisualStyles::DrawBackground(look.headerTheme.get(), dc, HP_HEADERITEM, state, rect);
        } else {
            if (position == pressedColumn) {
                FillSolid(dc, rect, look.colors.headerPressed);
            }
            const int top = rect.top + look.Px(4);
            const int bottom = rect.bottom - look.Px(4);
            DrawLine(dc, rect.right - 1, top, rect.right - 1, bottom, look.colors.headerShadow);
            DrawLine(dc, rect.right, top, rect.right, bottom, look.colors.headerHighlight);
        }
        PaintHeaderTitle(dc, column, rect, position == 0, true);
    }
    if (themed && left < width) {
        const RECT rest{left, 0, width + 2, height};
        VisualStyles::DrawBackground(look.headerTheme.get(), dc, HP_HEADERITEM, HIS_NORMAL, rest);
    } else if (!themed && count > 0) {
        // Raised, and two pixels wider than the client so its right side
        // stays out of view.
        const int right = width + 1;
        DrawLine(dc, 0, 0, right, 0, look.colors.headerHighlight);
        DrawLine(dc, 0, 0, 0, height - 1, look.colors.headerHighlight);
        DrawLine(dc, 0, height - 1, right, height - 1, look.colors.headerShadow);
        DrawLine(dc, right, 0, right, height, look.colors.headerShadow);
    }
}

void PasswordListControl::PaintHeaderTitle(HDC dc, const ListColumn& column, const RECT& columnRect,
                                           bool first, bool withArrow)
{
    RECT title = columnRect;
    OffsetRect(&title, 0, 1);
    title.left += look.Px(first ? 4 : 3) + look.Px(4);
    title.right -= look.Px(5);
    const bool arrow = withArrow && ShowsSortArrow(column);
    if (arrow) {
        title.right -= look.Px(15);
    }
    int imageWidth = 0;
    int imageHeight = 0;
    ImageList_GetIconSize(systemImages.get(), &imageWidth, &imageHeight);
    RECT clip = columnRect;
    clip.right -= look.Px(2);
    if (column.image != -1) {
        const int x = !column.title.empty()
                          ? title.left
                          : (title.left + title.right) / 2 - imageWidth / 2 - (Themed() ? 1 : 0);
        const int y = (columnRect.bottom - columnRect.top - imageHeight) / 2;
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
        ImageList_Draw(systemImages.get(), column.image, dc, x, y, ILD_TRANSPARENT);
        RestoreDC(dc, saved);
        title.left += imageWidth + look.Px(4);
    }
    const SelectGuard font(dc, look.listFont.get());
    SetTextColor(dc, look.colors.headerText);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, column.title.c_str(), static_cast<int>(column.title.size()), &title,
              kTitleFormat | TitleAlignment(column.flags));
    if (arrow) {
        // The arrow's middle row is 3 rows of every 16 down its glyph, at
        // every size the glyphs are drawn at.
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, columnRect.left, columnRect.top, columnRect.right, columnRect.bottom);
        ImageList_Draw(systemImages.get(),
                       model.sortAscending ? LIST_IMAGE_SORT_ASCENDING : LIST_IMAGE_SORT_DESCENDING,
                       dc, title.right + look.Px(4),
                       model.headerHeight / 2 - MulDiv(3, imageHeight, LIST_IMAGE_SIZE),
                       ILD_TRANSPARENT);
        RestoreDC(dc, saved);
    }
}

void PasswordListControl::RepaintHeader()
{
    if (Handle() != nullptr && model.showHeader) {
        const RECT band{0, 0, ClientWidth(), model.headerHeight};
        InvalidateRect(Handle(), &band, FALSE);
    }
}

HeaderHit PasswordListControl::HitTestHeader(int x, int y) const
{
    HeaderHit hit;
    if (!model.showHeader || y < 0 || y > model.headerHeight) {
        return hit;
    }
    const int count = model.GetColumnCount();
    int left = -ScrollPosition(SB_HORZ);
    for (int position = 0; position < count; ++position) {
        const int right = left + model.GetColumnWidth(position);
        if (x >= right - look.Px(5) && x <= right + look.Px(4)) {
            hit.position = position;
            hit.edge = HeaderHit::kOnEdge;
            if (x < right || position >= count - 2) {
                hit.edge |= HeaderHit::kLeftOfEdge;
            } else {
                hit.edge |= HeaderHit::kRightOfEdge;
                // A column dragged to nothing lies on this edge too: the
                // last of them is the one to widen again.
                while (hit.position + 1 < count && model.GetColumnWidth(hit.position + 1) == 0) {
                    ++hit.position;
                }
            }
            return hit;
        }
        if (x > left && x < right) {
            hit.position = position;
            return hit;
        }
        left = right;
    }
    return hit;
}

bool PasswordListControl::SetColumnWidth(int position, int width)
{
    return model.SetColumnWidth(position, width);
}

void PasswordListControl::SizeColumnToContent(int position)
{
    ListColumn column;
    if (!model.GetColumn(position, column) || column.fixed) {
        return;
    }
    const HDC dc = GetDC(Handle());
    if (dc == nullptr) {
        return;
    }
    int widest = 0;
    {
        const SelectGuard font(dc, look.listFont.get());
        const auto measure = [dc](const std::string& text) {
            SIZE size{};
            GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
            return static_cast<int>(size.cx);
        };
        const int padding = look.Px(20);
        widest = measure(column.title) + padding;
        int imageWidth = 0;
        int imageHeight = 0;
        if (itemImages != nullptr) {
            ImageList_GetIconSize(itemImages, &imageWidth, &imageHeight);
        }
        for (int row = 0; row < model.GetItemCount(); ++row) {
            int width = measure(model.GetItemText(row, column.index)) + padding;
            if (itemImages != nullptr && model.GetItemImage(row, column.index) != -1) {
                width += imageWidth;
            }
            widest = std::max(widest, width);
        }
    }
    ReleaseDC(Handle(), dc);
    SetColumnWidth(position, widest);
}

void PasswordListControl::SortByColumn(int position)
{
    if (!model.showHeader || !model.sortEnabled) {
        return;
    }
    const HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    model.SortByColumn(position);
    SetCursor(previous);
    Repaint();
}

bool PasswordListControl::OnHeaderButtonDown(POINT point)
{
    if (!model.showHeader || point.y >= model.headerHeight) {
        return false;
    }
    const HeaderHit hit = HitTestHeader(point.x, point.y);
    ListColumn column;
    if ((hit.edge & HeaderHit::kOnEdge) && model.GetColumn(hit.position, column) && !column.fixed) {
        SetCursor(resizeCursor);
        resizing = true;
        resizeColumn = hit.position;
        resizeStartWidth = column.width;
        POINT screen = point;
        ClientToScreen(Handle(), &screen);
        resizeStartX = screen.x;
    } else if (hit.position >= 0) {
        pressedColumn = hit.position;
        RepaintHeader();
    }
    return true;
}

void PasswordListControl::OnHeaderMove(POINT point)
{
    if (resizing) {
        POINT screen = point;
        ClientToScreen(Handle(), &screen);
        const int width = std::max<int>(0, resizeStartWidth + (screen.x - resizeStartX));
        const int current = model.GetColumnWidth(resizeColumn);
        const bool scrolledFullyRight =
            ScrollPosition(SB_HORZ) >= model.GetTotalWidth() + 1 - ClientWidth() - 1;
        // Shrinking a column while the list is scrolled to its right end
        // would pull the columns away under the pointer: the shrink timer
        // narrows it steadily instead.
        if (horizontalBarShown && scrolledFullyRight && width < current && !resizeTimerOn) {
            resizeTimerOn = true;
            resizeTimerX = screen.x;
            SetTimer(Handle(), kResizeTimer, kFrameDelay, nullptr);
        }
        if (!resizeTimerOn) {
            SetColumnWidth(resizeColumn, width);
        }
        return;
    }
    if (pressedColumn < 0 || draggedColumn >= 0) {
        return;
    }
    const int threshold = look.Px(4);
    if (std::abs(point.x - pressPoint.x) <= threshold &&
        std::abs(point.y - pressPoint.y) <= threshold) {
        return;
    }
    HideTitleTip();
    if (dragDrop) {
        dragDrop->DragColumn(pressedColumn);
    }
    // After the drag, or instead of one where there is no dragging: the
    // press is over and releasing the button sorts nothing.
    ShowWindow(dropMarker.get(), SW_HIDE);
    ReleaseCapture();
    buttonDown = false;
    draggedColumn = -1;
    EndHeaderPress();
}

void PasswordListControl::OnResizeTimer()
{
    POINT cursor{};
    GetCursorPos(&cursor);
    const bool scrolledFullyRight =
        ScrollPosition(SB_HORZ) >= model.GetTotalWidth() + 1 - ClientWidth() - 1;
    if (!resizing || !horizontalBarShown || cursor.x > resizeTimerX) {
        KillTimer(Handle(), kResizeTimer);
        resizeTimerOn = false;
        resizeStartX = cursor.x;
        resizeStartWidth = model.GetColumnWidth(resizeColumn);
        return;
    }
    if (cursor.x < resizeStartX && scrolledFullyRight) {
        const int width =
            std::max<int>(0, model.GetColumnWidth(resizeColumn) + (cursor.x - resizeTimerX));
        resizeStartWidth = width;
        SetColumnWidth(resizeColumn, width);
    }
}

void PasswordListControl::OnHeaderButtonUp()
{
    if (pressedColumn >= 0 && !resizing) {
        SortByColumn(pressedColumn);
    }
    EndHeaderPress();
}

void PasswordListControl::EndHeaderPress()
{
    if (resizeTimerOn) {
        KillTimer(Handle(), kResizeTimer);
        resizeTimerOn = false;
    }
    resizing = false;
    resizeColumn = -1;
    pressedColumn = -1;
    resizeStartWidth = 0;
    resizeStartX = 0;
    RepaintHeader();
}

void PasswordListControl::TrackHotTitle(POINT point)
{
    if (!Themed()) {
        return;
    }
    const int hot = HitTestHeader(point.x, point.y).position;
    if (hot != hotTitle) {
        hotTitle = hot;
        RepaintHeader();
    }
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
