#include "listctrl/list_repainter.h"

#include <functional>
#include <utility>

#include "listctrl/list_window.h"

namespace {

class Hasher {
public:
    template <typename Value>
    Hasher& Add(const Value& value)
    {
        // The mixing of boost's hash_combine: order matters, collisions are rare.
        hash ^= std::hash<Value>{}(value) + 0x9e3779b97f4a7c15ull + (hash << 6) + (hash >> 2);
        return *this;
    }
    std::size_t Value() const { return hash; }

private:
    std::size_t hash = 0;
};

} // namespace

// Everything but the rows' own cells that a paint reads.
std::size_t ListRepainter::LayoutHash(const ListPaintState& state)
{
    const ListModel& model = state.model;
    const ListViewport& viewport = state.layout.Viewport();
    Hasher hash;
    hash.Add(viewport.width).Add(viewport.height).Add(viewport.scrollY).Add(viewport.scrollX);
    hash.Add(state.look.rowHeight).Add(state.layout.HeaderBottom()).Add(model.SortEnabled());
    hash.Add(model.SortColumn()).Add(model.SortAscending()).Add(model.FocusCellMode());
    hash.Add(state.Themed()).Add(state.focused).Add(state.editing).Add(state.look.generation);
    hash.Add(state.pressedTitle).Add(state.hotTitle).Add(state.banding);
    if (state.banding) {
        hash.Add(state.band.left).Add(state.band.top).Add(state.band.right).Add(state.band.bottom);
    }
    hash.Add(static_cast<const void*>(state.options.itemImages))
        .Add(static_cast<const void*>(state.options.backgroundBitmap));
    hash.Add(state.options.tileBackground);
    for (int position = 0; position < model.GetColumnCount(); ++position) {
        ListColumn column;
        model.GetColumn(position, column);
        hash.Add(column.width).Add(column.index).Add(column.title).Add(column.image);
        hash.Add(column.fixed).Add(column.format).Add(column.flags);
    }
    return hash.Value();
}

std::size_t ListRepainter::RowHash(const ListPaintState& state, int row)
{
    const ListModel& model = state.model;
    Hasher hash;
    ListRow cells;
    if (!model.GetItem(row, cells)) {
        return hash.Value();
    }
    hash.Add(true).Add(model.IsSelected(row));
    hash.Add(model.FocusRow() == row ? model.FocusColumn() : -2);
    hash.Add(state.hotItem == row ? state.hotColumn : -2);
    for (const ListCell& cell : cells) {
        hash.Add(cell.text).Add(cell.image).Add(cell.format).Add(cell.flags);
        hash.Add(cell.font).Add(cell.backColor).Add(cell.textColor);
    }
    return hash.Value();
}

void ListRepainter::Repaint()
{
    if (list.Handle() == nullptr) {
        return;
    }
    const ListPaintState state = list.PaintState();
    Shown now;
    now.layout = LayoutHash(state);
    now.first = state.layout.FirstVisibleRow();
    const int rows = state.layout.RowsInView();
    for (int i = 0; i <= rows; ++i) {
        now.rows.push_back(RowHash(state, now.first + i));
    }
    if (!shown.valid || now.layout != shown.layout || now.first != shown.first ||
        now.rows.size() != shown.rows.size()) {
        InvalidateRect(list.Handle(), nullptr, FALSE);
    } else {
        for (std::size_t i = 0; i < now.rows.size(); ++i) {
            if (now.rows[i] != shown.rows[i]) {
                RepaintRow(now.first + static_cast<int>(i));
            }
        }
    }
    now.valid = true;
    shown = std::move(now);
}

void ListRepainter::RepaintRow(int row)
{
    if (list.Handle() == nullptr) {
        return;
    }
    const ListLayout layout = list.Layout();
    const ListRect rect = layout.RowRect(row);
    const RECT across{0, rect.top, layout.Viewport().width, rect.bottom};
    InvalidateRect(list.Handle(), &across, FALSE);
}
