#pragma once

#include <string>

#include "listctrl/cell_editor.h"

// An edit box over the cell.
class EditBoxEditor final : public CellEditor {
public:
    EditBoxEditor(ListWindow& owner, const EditedCell& edited) : CellEditor(owner, edited) {}
    bool Open(const std::string& text);

private:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
