// The list's selection and sort order: the rules that the mouse, the keyboard
// and the batch share.
#include "listctrl/list_model.h"

#include <algorithm>
#include <utility>

// ---- Selection ----

bool ListModel::SelectItem(int row, int position, unsigned modifiers)
{
    if (!IsRow(row)) {
        return false;
    }
    const int column = PositionOrNone(position);
    const bool shift = (modifiers & kModifierShift) != 0;
    const bool ctrl = (modifiers & kModifierCtrl) != 0;
    bool changed = true;
    if (ctrl && (singleSelect || !shift)) {
        if (singleSelect) {
            selection.clear();
        }
        // Ctrl toggles the row; taking a row away is not announced.
        changed = selection.erase(row) == 0;
        if (changed) {
            selection.insert(row);
        }
        anchorRow = row;
    } else if (selection.size() == 1 && *selection.begin() == row) {
        changed = false;
        anchorRow = row;
    } else {
        selection.clear();
        if (shift && !singleSelect) {
            if (anchorRow == -1) {
                anchorRow = row;
            }
            SelectRange(anchorRow, row);
        } else {
            anchorRow = row;
            selection.insert(row);
        }
    }
    focusRow = row;
    // A cell focus only makes sense while at most one row is selected.
    focusColumn = selection.size() < 2 ? column : -1;
    Changed(ListChange::Selection);
    if (changed) {
        NotifyParent(row, focusColumn, NotifySelected);
    }
    if (host) {
        host->FollowFocus();
    }
    Repaint();
    return true;
}

void ListModel::SetFocusCell(int row, int position)
{
    focusRow = IsRow(row) ? row : -1;
    focusColumn = focusRow >= 0 ? PositionOrNone(position) : -1;
    Changed(ListChange::Focus, focusRow);
    Repaint();
}

void ListModel::SetAnchorRow(int row)
{
    anchorRow = IsRow(row) ? row : -1;
    Changed(ListChange::Focus, anchorRow);
}

int ListModel::EffectiveFocusRow() const
{
    if (focusRow >= 0 && focusRow < GetItemCount()) {
        return focusRow;
    }
    return selection.empty() ? -1 : *selection.begin();
}

int ListModel::EffectiveFocusColumn(int row) const
{
    return focusCellMode && row >= 0 ? focusColumn : -1;
}

bool ListModel::SelectAll()
{
    if (singleSelect || rows.empty()) {
        return false;
    }
    SelectRange(0, GetItemCount() - 1);
    Changed(ListChange::Selection);
    Repaint();
    return true;
}

bool ListModel::SelectRows(int firstRow, int lastRow)
{
    if (singleSelect) {
        return false;
    }
    selection.clear();
    SelectRange(firstRow, lastRow);
    const bool any = !selection.empty();
    anchorRow = any ? *selection.begin() : -1;
    if (any) {
        focusRow = *selection.rbegin();
        focusColumn = -1;
    }
    Changed(ListChange::Selection);
    Repaint();
    return any;
}

// Rows outside the list are left out, so a stale anchor cannot select them.
void ListModel::SelectRange(int from, int to)
{
    const int low = std::max(std::min(from, to), 0);
    const int high = std::min(std::max(from, to), GetItemCount() - 1);
    for (int row = low; row <= high; ++row) {
        selection.insert(selection.end(), row);
    }
}

bool ListModel::GetSelectedItems(std::vector<int>& selected) const
{
    selected.assign(selection.begin(), selection.end());
    return !selected.empty();
}

bool ListModel::IsSelected(int row) const
{
    return selection.count(row) != 0;
}

int ListModel::GetSelectedCount() const
{
    return static_cast<int>(selection.size());
}

void ListModel::ResetSelection()
{
    selection.clear();
    anchorRow = -1;
    focusRow = -1;
    focusColumn = -1;
    Changed(ListChange::Selection);
    Repaint();
}

void ListModel::SetFocusCellMode(bool cells)
{
    focusCellMode = cells;
    Repaint();
}

// ---- Sorting ----

void ListModel::SetSortEnabled(bool enabled)
{
    sortEnabled = enabled;
    Repaint();
}

void ListModel::SortItems(int index)
{
    if (FindColumn(index) < 0) {
        return;
    }
    // Rows older than the column have no cell for it and sort as empty text.
    const auto key = [index](const ListRow& row) {
        const auto i = static_cast<std::size_t>(index);
        return i < row.size() ? std::string_view(row[i].text) : std::string_view();
    };
    std::sort(rows.begin(), rows.end(),
              [&key](const ListRow& a, const ListRow& b) { return key(a) < key(b); });
    Changed(ListChange::RowsReordered);
    Repaint();
}

bool ListModel::SortByColumn(int position)
{
    if (!sortEnabled || PositionOrNone(position) < 0) {
        return false;
    }
    const int index = columns[position].index;
    if (index == sortColumn) {
        sortAscending = !sortAscending;
        std::reverse(rows.begin(), rows.end());
        Changed(ListChange::RowsReordered);
    } else {
        sortAscending = true;
        sortColumn = index;
        SortItems(index);
    }
    // The numbers of the selected rows now name other rows.
    ResetSelection();
    return true;
}
