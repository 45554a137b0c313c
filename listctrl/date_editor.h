#pragma once

#include "listctrl/cell_editor.h"
#include "listctrl/list_model.h"

// A date-and-time picker over the cell.
class DateEditor final : public CellEditor {
public:
    DateEditor(ListWindow& owner, const EditedCell& edited) : CellEditor(owner, edited) {}
    // value: the cell's date and time; a zero year stands for no date.
    bool Open(ListDateTime value);
    // The list's word that the drop-down calendar has closed (DTN_CLOSEUP).
    void OnCloseUp();

private:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    std::string DisplayFormat() const;
    void SetValue(ListDateTime value);
    void End();
};
