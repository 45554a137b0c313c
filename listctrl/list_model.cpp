#include "listctrl/list_model.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <utility>

namespace {

constexpr int kKeyEscape = 27;
constexpr int kKeyDelete = 46;

int ReadDateField(std::string_view text, std::size_t first, std::size_t count)
{
    if (first >= text.size()) {
        return 0;
    }
    return static_cast<int>(ReadNumber(text.substr(first, count)));
}

std::string FormatDate(const ListDateTime& dateTime)
{
    char text[80];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", dateTime.year, dateTime.month,
                  dateTime.day, dateTime.hour, dateTime.minute, dateTime.second);
    return text;
}

} // namespace

long ReadNumber(std::string_view text)
{
    const std::string copy(text);
    return std::strtol(copy.c_str(), nullptr, 10);
}

std::uint32_t NormaliseFlags(std::uint32_t flags)
{
    if (flags & FlagCentre) {
        flags &= ~(FlagLeft | FlagRight);
    }
    if (flags & FlagRight) {
        flags &= ~FlagLeft;
    }
    if (flags & FlagDateOnly) {
        flags &= ~FlagTimeOnly;
    }
    if (flags & (FlagNumber | FlagDecimal)) {
        flags &= ~FlagUpperCase;
    } else {
        flags &= ~(FlagNegative | FlagCompare);
    }
    if (flags & FlagEditableList) {
        flags &= ~(FlagDateOnly | FlagTimeOnly | FlagNoDate);
    }
    return flags;
}

// ---- Columns ----

bool ListModel::AddColumn(std::string_view title, int width, int image, bool fixed, int format,
                          std::uint32_t flags)
{
    ListColumn column;
    column.width = std::max(width, 0);
    column.fixed = fixed;
    column.format = format;
    column.image = image;
    if (title.empty() && image != -1) {
        column.width = (host ? host->SystemImageWidth() : 0) + 5;
        flags |= FlagCentre;
    }
    column.flags = NormaliseFlags(flags);
    column.index = GetColumnCount();
    try {
        column.title = title;
        columns.push_back(std::move(column));
    } catch (const std::bad_alloc&) {
        return false;
    }
    Changed(ListChange::RowsReordered);
    ResetScrollBars();
    return true;
}

int ListModel::GetColumnCount() const
{
    return static_cast<int>(columns.size());
}

bool ListModel::GetColumn(int position, ListColumn& column) const
{
    if (PositionOrNone(position) < 0) {
        return false;
    }
    column = columns[position];
    return true;
}

int ListModel::GetColumnWidth(int position) const
{
    return PositionOrNone(position) < 0 ? 0 : columns[position].width;
}

int ListModel::GetColumnFormat(int position) const
{
    return PositionOrNone(position) < 0 ? 0 : columns[position].format;
}

std::uint32_t ListModel::GetColumnFlags(int position) const
{
    return PositionOrNone(position) < 0 ? 0 : columns[position].flags;
}

int ListModel::GetColumnIndex(int position) const
{
    return PositionOrNone(position) < 0 ? 0 : columns[position].index;
}

bool ListModel::GetColumnComboList(int position, std::vector<std::string>& choices) const
{
    choices.clear();
    if (PositionOrNone(position) < 0) {
        return false;
    }
    choices = columns[position].choices;
    return !choices.empty();
}

bool ListModel::SetColumnComboList(int position, std::vector<std::string> choices)
{
    if (PositionOrNone(position) < 0) {
        return false;
    }
    columns[position].choices = std::move(choices);
    return true;
}

int ListModel::FindColumn(int index) const
{
    for (int position = 0; position < GetColumnCount(); ++position) {
        if (columns[position].index == index) {
            return position;
        }
    }
    return -1;
}

bool ListModel::SetColumnWidth(int position, int width)
{
    if (PositionOrNone(position) < 0) {
        return false;
    }
    if (columns[position].fixed) {
        return true;
    }
    columns[position].width = std::max(width, 0);
    ResetScrollBars();
    return true;
}

int ListModel::GetTotalWidth() const
{
    long long total = 0;
    for (const ListColumn& column : columns) {
        total += column.width;
    }
    return static_cast<int>(std::min<long long>(total - 1, INT_MAX));
}

bool ListModel::MoveColumn(int position, int newPosition)
{
    if (PositionOrNone(position) < 0 || PositionOrNone(newPosition) < 0) {
        return false;
    }
    // The focused cell stays on its column wherever that column goes.
    const int focusIndex = PositionOrNone(focusColumn) < 0 ? -1 : columns[focusColumn].index;
    const auto first = columns.begin();
    if (newPosition < position) {
        std::rotate(first + newPosition, first + position, first + position + 1);
    } else {
        std::rotate(first + position, first + position + 1, first + newPosition + 1);
    }
    if (focusIndex >= 0) {
        focusColumn = FindColumn(focusIndex);
    }
    Changed(ListChange::RowsReordered);
    Repaint();
    return true;
}

// ---- Rows and cells ----

int ListModel::AddItem(std::string_view text, int image, int format, std::uint32_t flags)
{
    // Without columns there is no cell to hold the text.
    if (columns.empty() || rows.size() >= static_cast<std::size_t>(INT_MAX)) {
        return -1;
    }
    ListCell blank;
    blank.format = format;
    blank.flags = NormaliseFlags(flags);
    try {
        ListRow row(columns.size(), blank);
        row[0].text = text;
        row[0].image = image;
        rows.push_back(std::move(row));
    } catch (const std::bad_alloc&) {
        return -1;
    }
    Changed(ListChange::RowAdded, GetItemCount() - 1);
    ResetScrollBars();
    return GetItemCount() - 1;
}

int ListModel::GetItemCount() const
{
    return static_cast<int>(rows.size());
}

bool ListModel::GetItem(int row, ListRow& item) const
{
    if (!IsRow(row)) {
        return false;
    }
    item = rows[row];
    return true;
}

bool ListModel::GetSubItem(int row, int index, ListCell& cell) const
{
    const ListCell* found = FindCell(row, index);
    if (!found) {
        return false;
    }
    cell = *found;
    return true;
}

std::string ListModel::GetItemText(int row, int index) const
{
    const ListCell* cell = FindCell(row, index);
    return cell ? cell->text : std::string();
}

bool ListModel::SetItemText(int row, int index, std::string_view text)
{
    ListCell* cell = FindCell(row, index);
    if (!cell) {
        return false;
    }
    cell->text = text;
    return true;
}

int ListModel::GetItemFormat(int row, int index) const
{
    const ListCell* cell = FindCell(row, index);
    if (!cell) {
        return 0;
    }
    if (cell->format != 0) {
        return cell->format;
    }
    const ListColumn* column = ColumnOfIndex(index);
    return column ? column->format : 0;
}

std::uint32_t ListModel::GetItemFlags(int row, int index) const
{
    const ListCell* cell = FindCell(row, index);
    if (!cell) {
        return 0;
    }
    if (cell->flags != 0) {
        return cell->flags;
    }
    const ListColumn* column = ColumnOfIndex(index);
    return column ? column->flags : 0;
}

bool ListModel::GetItemComboList(int row, int index, std::vector<std::string>& choices) const
{
    choices.clear();
    const ListCell* cell = FindCell(row, index);
    if (!cell) {
        return false;
    }
    if (!cell->choices.empty()) {
        choices = cell->choices;
    } else if (const ListColumn* column = ColumnOfIndex(index)) {
        choices = column->choices;
    }
    return !choices.empty();
}

bool ListModel::SetItemComboList(int row, int index, std::vector<std::string> choices)
{
    ListCell* cell = FindCell(row, index);
    if (!cell) {
        return false;
    }
    cell->choices = std::move(choices);
    return true;
}

int ListModel::GetItemImage(int row, int index) const
{
    const ListCell* cell = FindCell(row, index);
    return cell ? cell->image : -1;
}

ListFont ListModel::GetItemFont(int row, int index) const
{
    const ListCell* cell = FindCell(row, index);
    return cell ? cell->font : nullptr;
}

bool ListModel::SetItemFont(int row, int index, ListFont font)
{
    ListCell* cell = FindCell(row, index);
    if (!cell) {
        return false;
    }
    cell->font = font;
    return true;
}

bool ListModel::SetItemColors(int row, int index, ListColor back, ListColor text)
{
    ListCell* cell = FindCell(row, index);
    if (!cell) {
        return false;
    }
    cell->backColor = back;
    cell->textColor = text;
    return true;
}

bool ListModel::GetItemDate(int row, int index, ListDateTime& dateTime) const
{
    const ListCell* cell = FindCell(row, index);
    if (!cell || cell->text.empty()) {
        return false;
    }
    const std::string_view text = cell->text;
    dateTime = ListDateTime{};
    dateTime.year = ReadDateField(text, 0, 4);
    dateTime.month = ReadDateField(text, 4, 2);
    dateTime.day = ReadDateField(text, 6, 2);
    dateTime.hour = ReadDateField(text, 8, 2);
    dateTime.minute = ReadDateField(text, 10, 2);
    dateTime.second = ReadDateField(text, 12, 2);
    return true;
}

bool ListModel::SetItemDate(int row, int index, const ListDateTime& dateTime)
{
    return SetItemText(row, index, FormatDate(dateTime));
}

bool ListModel::DeleteItem(int row)
{
    if (!IsRow(row)) {
        return false;
    }
    rows.erase(rows.begin() + row);
    ShiftAfterDelete(row);
    Changed(ListChange::RowRemoved, row);
    ResetScrollBars();
    return true;
}

void ListModel::DeleteAllItems()
{
    rows.clear();
    selection.clear();
    anchorRow = -1;
    focusRow = -1;
    focusColumn = -1;
    Changed(ListChange::RowsCleared);
    ResetScrollBars();
}

// Rows after the deleted one move up, so the selection, anchor and focus
// follow them. A deleted anchor or focus row points nowhere afterwards: the
// next Shift-click starts its range afresh, and the keyboard falls back to
// the lowest selected row.
void ListModel::ShiftAfterDelete(int row)
{
    std::set<int> kept;
    for (int selected : selection) {
        if (selected != row) {
            kept.insert(kept.end(), selected < row ? selected : selected - 1);
        }
    }
    selection.swap(kept);
    const auto follow = [row](int& member) {
        if (member == row) {
            member = -1;
        } else if (member > row) {
            --member;
        }
    };
    follow(anchorRow);
    if (focusRow == row) {
        focusColumn = -1;
    }
    follow(focusRow);
}

// ---- Changes made by the user ----

bool ListModel::ToggleCheck(int row, int position)
{
    if (PositionOrNone(position) < 0) {
        return false;
    }
    const int index = columns[position].index;
    const ListCell* cell = FindCell(row, index);
    if (!cell || (GetItemFlags(row, index) & FlagReadOnly)) {
        return false;
    }
    const long value = ReadNumber(cell->text);
    const int format = GetItemFormat(row, index);
    if (format == FormatCheckBox) {
        SetChangedCell(row, index, value > 0 ? "0" : "1");
    } else if (format == FormatCheckBox3) {
        SetChangedCell(row, index, value < 0 ? "0" : value == 0 ? "1" : "-1");
    } else {
        return false;
    }
    return true;
}

bool ListModel::EndEdit(int row, int position, int key, std::string_view text,
                        const ListDateTime* dateTime)
{
    if (key == kKeyEscape || PositionOrNone(position) < 0) {
        return false;
    }
    const int index = columns[position].index;
    if (!FindCell(row, index) || (GetItemFlags(row, index) & FlagReadOnly)) {
        return false;
    }
    // Delete empties the cell; a date editor says "0" when left without a date.
    std::string value;
    if (key != kKeyDelete) {
        if (!dateTime) {
            value = text;
        } else if (ReadNumber(text) != 0) {
            value = FormatDate(*dateTime);
        }
    }
    SetChangedCell(row, index, std::move(value));
    return true;
}

void ListModel::SetChangedCell(int row, int index, std::string text)
{
    FindCell(row, index)->text = std::move(text);
    Changed(ListChange::RowText, row);
    NotifyIndex(row, index, NotifyModified);
    if (host) {
        host->RepaintRow(row);
    }
}

// ---- Notifications and hooks ----

std::intptr_t ListModel::NotifyParent(int row, int position, int code)
{
    return NotifyIndex(row, PositionOrNone(position) < 0 ? 0 : columns[position].index, code);
}

std::intptr_t ListModel::NotifyIndex(int row, int index, int code)
{
    if (!host) {
        return 0;
    }
    ListEvent event;
    event.code = code;
    event.row = row;
    event.column = index;
    return host->Notify(event);
}

void ListModel::ResetScrollBars()
{
    if (host) {
        host->ResetScrollBars();
    }
}

void ListModel::Repaint()
{
    if (host) {
        host->Repaint();
    }
}

void ListModel::Changed(ListChange change, int row)
{
    if (host) {
        host->RowsChanged(change, row);
    }
}

// ---- Lookups ----

bool ListModel::IsRow(int row) const
{
    return row >= 0 && row < GetItemCount();
}

int ListModel::PositionOrNone(int position) const
{
    return position >= 0 && position < GetColumnCount() ? position : -1;
}

const ListCell* ListModel::FindCell(int row, int index) const
{
    if (!IsRow(row) || index < 0 || static_cast<std::size_t>(index) >= rows[row].size()) {
        return nullptr;
    }
    return &rows[row][index];
}

ListCell* ListModel::FindCell(int row, int index)
{
    return const_cast<ListCell*>(std::as_const(*this).FindCell(row, index));
}

const ListColumn* ListModel::ColumnOfIndex(int index) const
{
    const int position = FindColumn(index);
    return position < 0 ? nullptr : &columns[position];
}
