// Editing cells in place: opening the editor a cell's format asks for, and
// taking the edited value back when the editor closes.
#include "listctrl/list_editing.h"

#include "listctrl/combo_editor.h"
#include "listctrl/date_editor.h"
#include "listctrl/edit_box_editor.h"
#include "listctrl/list_date.h"
#include "listctrl/list_window.h"

ListEditing::ListEditing(ListWindow& owner) : list(owner) {}

// The editors refer to the list; they go before it.
ListEditing::~ListEditing() = default;

void ListEditing::Destroy()
{
    editBox.reset();
    comboBox.reset();
    datePicker.reset();
    open = false;
}

bool ListEditing::IsFocusCellInView() const
{
    const ListModel& model = list.Model();
    const ListLayout layout = list.Layout();
    if (!layout.IsRowFullyVisible(model.FocusRow())) {
        return false;
    }
    ListRect cell;
    if (model.FocusColumn() < 0 || !layout.CellRect(model.FocusRow(), model.FocusColumn(), cell)) {
        return true;
    }
    return cell.left >= 0 && cell.right <= layout.Viewport().width;
}

void ListEditing::FollowFocus()
{
    const ListModel& model = list.Model();
    if (list.Handle() == nullptr || model.FocusRow() < 0) {
        return;
    }
    if (!IsFocusCellInView()) {
        // Restarted by every new selection, so a batch scrolls once, after
        // its last row.
        SetTimer(list.Handle(), ListWindow::kBringIntoViewTimer, ListWindow::kBringIntoViewDelay,
                 nullptr);
        return;
    }
    if (model.FocusColumn() >= 0) {
        Open(model.FocusRow(), model.FocusColumn());
    }
}

void ListEditing::BringFocusIntoView()
{
    const ListModel& model = list.Model();
    const int row = model.FocusRow();
    if (row >= 0 && row < model.GetItemCount()) {
        list.EnsureVisible(row, model.FocusColumn());
        if (model.FocusColumn() >= 0) {
            Open(row, model.FocusColumn());
        }
    }
}

bool ListEditing::Open(int row, int position)
{
    const ListModel& model = list.Model();
    if (row < 0 || row >= model.GetItemCount() || position < 0 ||
        position >= model.GetColumnCount()) {
        return false;
    }
    list.EnsureVisible(row, position);
    EditedCell cell;
    ListRect rect;
    if (GetFocus() != list.Handle() || !list.Layout().CellRect(row, position, rect)) {
        return false;
    }
    const int index = model.GetColumnIndex(position);
    cell.rect = ToRect(rect);
    cell.row = row;
    cell.position = position;
    cell.flags = model.GetItemFlags(row, index);
    if (cell.flags & FlagReadOnly) {
        return false;
    }
    switch (model.GetItemFormat(row, index)) {
    case FormatEdit:
        Begin();
        editBox = std::make_unique<EditBoxEditor>(list, cell);
        return Opened(editBox->Open(model.GetItemText(row, index)));
    case FormatDateTime: {
        ListDateTime value;
        if (!model.GetItemDate(row, index, value)) {
            value = ListDateTime{}; // an empty cell holds no date
        }
        Begin();
        datePicker = std::make_unique<DateEditor>(list, cell);
        return Opened(datePicker->Open(value));
    }
    case FormatCombo: {
        std::vector<std::string> choices;
        if (!model.GetItemComboList(row, index, choices)) {
            return false;
        }
        Begin();
        comboBox = std::make_unique<ComboEditor>(list, cell);
        return Opened(comboBox->Open(model.GetItemText(row, index), choices));
    }
    default:
        return false;
    }
}

// The focus cell shows its editing look before the editor covers it.
void ListEditing::Begin()
{
    list.HideTitleTip();
    open = true;
    list.Repaint();
    UpdateWindow(list.Handle());
}

bool ListEditing::Opened(bool opened)
{
    if (!opened) {
        open = false;
        list.Repaint();
    }
    return opened;
}

bool ListEditing::IsEditorWindow(HWND candidate) const
{
    return candidate != nullptr && ((editBox && editBox->Control() == candidate) ||
                                    (comboBox && comboBox->Control() == candidate) ||
                                    (datePicker && datePicker->Control() == candidate));
}

bool ListEditing::OnNotify(LPARAM lParam)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr || !IsEditorWindow(header->hwndFrom)) {
        return false;
    }
    if (static_cast<int>(header->code) == NotifyEndEdit) {
        OnEnd(*reinterpret_cast<const ListNotify*>(lParam));
        return true;
    }
    if (header->code == DTN_CLOSEUP && datePicker) {
        datePicker->OnCloseUp();
        return true;
    }
    return false;
}

void ListEditing::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == CBN_KILLFOCUS && comboBox &&
        comboBox->Control() == reinterpret_cast<HWND>(lParam)) {
        comboBox->OnFocusLost();
    }
}

void ListEditing::OnEnd(const ListNotify& notice)
{
    open = false;
    ListDateTime date;
    if (notice.dateTime != nullptr) {
        date = FromSystemTime(*notice.dateTime);
    }
    // Sets the cell, tells the parent and repaints the row, unless Escape
    // left the cell as it was.
    list.Model().EndEdit(notice.row, notice.column, notice.key, notice.text ? notice.text : "",
                         notice.dateTime != nullptr ? &date : nullptr);
    if (notice.key == VK_TAB) {
        // The list moves on to the next cell and opens its editor.
        PostMessageA(list.Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    list.RepaintRow(notice.row);
    list.Repaint();
}
