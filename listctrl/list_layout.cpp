#include "listctrl/list_layout.h"

#include <algorithm>

ListLayout::ListLayout(const ListModel& listModel, const ListViewport& listViewport,
                       const ListSizes& listSizes)
    : model(listModel), viewport(listViewport), sizes(listSizes)
{
}

int ListLayout::HeaderBottom() const
{
    return sizes.headerHeight;
}

int ListLayout::FirstVisibleRow() const
{
    return sizes.rowHeight > 0 ? viewport.scrollY / sizes.rowHeight : 0;
}

int ListLayout::RowOrigin() const
{
    return FirstVisibleRow() * sizes.rowHeight;
}

int ListLayout::FullyVisibleRows() const
{
    return sizes.rowHeight > 0 ? std::max(0, (viewport.height - HeaderBottom()) / sizes.rowHeight)
                               : 0;
}

int ListLayout::RowsInView() const
{
    const int below = std::max(0, viewport.height - HeaderBottom());
    return sizes.rowHeight > 0 ? (below + sizes.rowHeight - 1) / sizes.rowHeight : 0;
}

bool ListLayout::IsRowFullyVisible(int row) const
{
    if (sizes.rowHeight <= 0) {
        return true; // nothing is laid out yet, so nothing can be out of view
    }
    const ListRect rect = RowRect(row);
    return rect.top >= HeaderBottom() && rect.bottom <= viewport.height;
}

bool ListLayout::IsScrolledFullyRight() const
{
    return viewport.scrollX >= model.GetTotalWidth() + 1 - viewport.width - 1;
}

int ListLayout::ColumnLeft(int position) const
{
    int left = -viewport.scrollX;
    for (int before = 0; before < position; ++before) {
        left += model.GetColumnWidth(before);
    }
    return left;
}

ListRect ListLayout::RowRect(int row) const
{
    const int top = HeaderBottom() + (row - FirstVisibleRow()) * sizes.rowHeight;
    const int left = -viewport.scrollX;
    return ListRect{left, top, left + model.GetTotalWidth(), top + sizes.rowHeight};
}

ListRect ListLayout::TitleRect(int position) const
{
    const int left = ColumnLeft(position);
    return ListRect{left, 0, left + model.GetColumnWidth(position), sizes.headerHeight};
}

bool ListLayout::CellRect(int row, int position, ListRect& cell) const
{
    if (row < 0 || row >= model.GetItemCount() || position < 0 ||
        position >= model.GetColumnCount()) {
        return false;
    }
    cell = RowRect(row);
    cell.left = ColumnLeft(position);
    cell.right = cell.left + model.GetColumnWidth(position) - 1;
    return true;
}

ListHit ListLayout::HitTestCell(ListPoint point) const
{
    ListHit hit;
    const int header = HeaderBottom();
    if (sizes.rowHeight <= 0 || point.y < header) {
        return hit;
    }
    const int row = FirstVisibleRow() + (point.y - header) / sizes.rowHeight;
    if (row >= model.GetItemCount()) {
        return hit;
    }
    hit.row = row;
    int left = -viewport.scrollX;
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

HeaderHit ListLayout::HitTestHeader(ListPoint point) const
{
    HeaderHit hit;
    if (sizes.headerHeight <= 0 || point.y < 0 || point.y > sizes.headerHeight) {
        return hit;
    }
    const int count = model.GetColumnCount();
    int left = -viewport.scrollX;
    for (int position = 0; position < count; ++position) {
        const int right = left + model.GetColumnWidth(position);
        if (point.x >= right - sizes.edgeBefore && point.x <= right + sizes.edgeAfter) {
            hit.position = position;
            hit.edge = HeaderHit::kOnEdge;
            if (point.x < right || position >= count - 2) {
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
        if (point.x > left && point.x < right) {
            hit.position = position;
            return hit;
        }
        left = right;
    }
    return hit;
}

int ListLayout::ColumnAt(int x) const
{
    const int count = model.GetColumnCount();
    int left = -viewport.scrollX;
    for (int position = 0; position < count; ++position) {
        const int right = left + model.GetColumnWidth(position);
        if (x >= left && (x < right || position == count - 1)) {
            return position;
        }
        left = right;
    }
    return -1;
}

ListPoint ListLayout::ToContent(ListPoint client) const
{
    return ListPoint{client.x + viewport.scrollX, client.y + RowOrigin()};
}

ListRect ListLayout::ToClient(const ListRect& content) const
{
    const int x = viewport.scrollX;
    const int y = RowOrigin();
    return ListRect{content.left - x, content.top - y, content.right - x, content.bottom - y};
}

bool ListLayout::RowsCovered(const ListRect& content, int& first, int& last) const
{
    const int header = HeaderBottom();
    if (content.left >= model.GetTotalWidth() || content.bottom < header || sizes.rowHeight <= 0) {
        return false;
    }
    first = std::max(0, (content.top - header) / sizes.rowHeight);
    last = std::min(model.GetItemCount() - 1, (content.bottom - header) / sizes.rowHeight);
    return first <= last;
}
