// Editing cells in place: opening the editor a cell's format asks for, and
// taking the edited value back when the editor closes.
#include "listctrl/cell_editors.h"
#include "listctrl/list_date.h"
#include "listctrl/password_list_control.h"

bool PasswordListControl::IsFocusCellInView() const
{
    if (!IsRowFullyVisible(model.focusRow)) {
        return false;
    }
    RECT cell{};
    if (model.focusColumn < 0 || !CellRect(model.focusRow, model.focusColumn, cell)) {
        return true;
    }
    return cell.left >= 0 && cell.right <= ClientWidth();
}

void PasswordListControl::FollowFocus()
{
    if (Handle() == nullptr || model.focusRow < 0) {
        return;
    }
    if (!IsFocusCellInView()) {
        // Restarted by every new selection, so a batch scrolls once, after
        // its last row.
        SetTimer(Handle(), kBringIntoViewTimer, kBringIntoViewDelay, nullptr);
        return;
    }
    if (model.focusColumn >= 0) {
        EditItem(model.focusRow, model.focusColumn);
    }
}

void PasswordListControl::BringFocusIntoView()
{
    const int row = model.focusRow;
    if (row >= 0 && row < model.GetItemCount()) {
        EnsureVisible(row, model.focusColumn);
        if (model.focusColumn >= 0) {
            EditItem(row, model.focusColumn);
        }
    }
}

bool PasswordListControl::EditItem(int row, int position)
{
    if (row < 0 || row >= model.GetItemCount() || position < 0 ||
        position >= model.GetColumnCount()) {
        return false;
    }
    EnsureVisible(row, position);
    EditedCell cell;
    if (GetFocus() != Handle() || !CellRect(row, position, cell.rect)) {
        return false;
    }
    const int index = model.GetColumnIndex(position);
    cell.row = row;
    cell.position = position;
    cell.flags = model.GetItemFlags(row, index);
    if (cell.flags & FlagReadOnly) {
        return false;
    }
    switch (model.GetItemFormat(row, index)) {
    case FormatEdit:
        BeginEditing();
        editBox = std::make_unique<EditBoxEditor>(*this, cell);
        return Opened(editBox->Open(model.GetItemText(row, index)));
    case FormatDateTime: {
        ListDateTime value;
        if (!model.GetItemDate(row, index, value)) {
            value = ListDateTime{}; // an empty cell holds no date
        }
        BeginEditing();
        datePicker = std::make_unique<DateEditor>(*this, cell);
        return Opened(datePicker->Open(value));
    }
    case FormatCombo: {
        std::vector<std::string> choices;
        if (!model.GetItemComboList(row, index, choices)) {
            return false;
        }
        BeginEditing();
        comboBox = std::make_unique<ComboEditor>(*this, cell);
        return Opened(comboBox->Open(model.GetItemText(row, index), choices));
    }
    default:
        return false;
    }
}

// The focus cell shows its editing look before the editor covers it.
void PasswordListControl::BeginEditing()
{
    HideTitleTip();
    editing = true;
    Repaint();
    UpdateWindow(Handle());
}

bool PasswordListControl::Opened(bool opened)
{
    if (!opened) {
        editing = false;
        Repaint();
    }
    return opened;
}

bool PasswordListControl::IsEditorWindow(HWND candidate) const
{
    return candidate != nullptr && ((editBox && editBox->Control() == candidate) ||
                                    (comboBox && comboBox->Control() == candidate) ||
                                    (datePicker && datePicker->Control() == candidate));
}

bool PasswordListControl::OnEditorNotify(LPARAM lParam)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr || !IsEditorWindow(header->hwndFrom)) {
        return false;
    }
    if (static_cast<int>(header->code) == NotifyEndEdit) {
        OnEndEdit(*reinterpret_cast<const ListNotify*>(lParam));
        return true;
    }
    if (header->code == DTN_CLOSEUP && datePicker) {
        datePicker->OnCloseUp();
        return true;
    }
    return false;
}

void PasswordListControl::OnEditorCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == CBN_KILLFOCUS && comboBox &&
        comboBox->Control() == reinterpret_cast<HWND>(lParam)) {
        comboBox->OnFocusLost();
    }
}

void PasswordListControl::OnEndEdit(const ListNotify& notice)
{
    editing = false;
    ListDateTime date;
    if (notice.dateTime != nullptr) {
        date = FromSystemTime(*notice.dateTime);
    }
    // Sets the cell, tells the parent and repaints the row, unless Escape
    // left the cell as it was.
    model.EndEdit(notice.row, notice.column, notice.key, notice.text ? notice.text : "",
                  notice.dateTime != nullptr ? &date : nullptr);
    if (notice.key == VK_TAB) {
        // The list moves on to the next cell and opens its editor.
        PostMessageA(Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    RepaintRow(notice.row);
    Repaint();
}
