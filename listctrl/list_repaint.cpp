// Repainting only what changed. The list is told "repaint" after every
// change; comparing what the visible rows would now show with what they were
// last asked to show keeps a batch that adds rows below the visible ones from
// repainting the list for each of them.
#include <functional>

#include "listctrl/password_list_control.h"

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

std::size_t PasswordListControl::LayoutHash() const
{
    RECT client{};
    GetClientRect(Handle(), &client);
    Hasher hash;
    hash.Add(client.right)
        .Add(client.bottom)
        .Add(ScrollPosition(SB_VERT))
        .Add(ScrollPosition(SB_HORZ));
    hash.Add(model.rowHeight).Add(model.headerHeight).Add(model.showHeader).Add(model.sortEnabled);
    hash.Add(model.sortColumn).Add(model.sortAscending).Add(model.focusCellMode);
    hash.Add(Themed()).Add(ListHasFocus()).Add(editing).Add(lookGeneration);
    hash.Add(pressedColumn).Add(hotTitle).Add(banding);
    if (banding) {
        hash.Add(bandRect.left).Add(bandRect.top).Add(bandRect.right).Add(bandRect.bottom);
    }
    hash.Add(static_cast<const void*>(itemImages)).Add(static_cast<const void*>(backgroundBitmap));
    hash.Add(tileBackground);
    for (int position = 0; position < model.GetColumnCount(); ++position) {
        ListColumn column;
        model.GetColumn(position, column);
        hash.Add(column.width).Add(column.index).Add(column.title).Add(column.image);
        hash.Add(column.fixed).Add(column.format).Add(column.flags);
    }
    return hash.Value();
}

std::size_t PasswordListControl::RowHash(int row) const
{
    Hasher hash;
    ListRow cells;
    if (!model.GetItem(row, cells)) {
        return hash.Value();
    }
    hash.Add(true).Add(model.IsSelected(row));
    hash.Add(model.focusRow == row ? model.focusColumn : -2).Add(hotItem == row ? hotColumn : -2);
    for (const ListCell& cell : cells) {
        hash.Add(cell.text).Add(cell.image).Add(cell.format).Add(cell.flags);
        hash.Add(cell.font).Add(cell.backColor).Add(cell.textColor);
    }
    return hash.Value();
}

void PasswordListControl::Repaint()
{
    if (Handle() == nullptr) {
        return;
    }
    ShownState now;
    now.layout = LayoutHash();
    now.first = FirstVisibleRow();
    const int rows = model.rowHeight > 0
                         ? (ClientHeight() - HeaderBottom() + model.rowHeight - 1) / model.rowHeight
                         : 0;
    for (int i = 0; i <= rows; ++i) {
        now.rows.push_back(RowHash(now.first + i));
    }
    if (!shown.valid || now.layout != shown.layout || now.first != shown.first ||
        now.rows.size() != shown.rows.size()) {
        InvalidateRect(Handle(), nullptr, FALSE);
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

void PasswordListControl::RepaintAll()
{
    shown.valid = false;
    Repaint();
}
