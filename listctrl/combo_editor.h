#pragma once

#include <string>
#include <vector>

#include "listctrl/cell_editor.h"
#include "toolkit/subclassed_window.h"
#include "toolkit/visual_styles.h"

// A drop-down list (with an edit field under FlagEditableList) of the cell's
// choices, painted on the cell's own background.
class ComboEditor final : public CellEditor {
public:
    ComboEditor(ListWindow& owner, const EditedCell& edited);
    bool Open(const std::string& text, const std::vector<std::string>& choices);
    // The list's word that the box has lost the focus (CBN_KILLFOCUS).
    void OnFocusLost();

private:
    // The edit field of an editable box, for its keys and characters.
    class Field final : public SubclassedWindow {
    public:
        explicit Field(ComboEditor& box) : combo(box) {}

    protected:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    private:
        ComboEditor& combo;
    };

    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Fill(const std::vector<std::string>& choices);
    void TakeRectangles();
    // The box on its cell, double buffered, around the edit field.
    void Paint(HDC dc, const RECT& area);
    void PaintBox(HDC dc, const RECT& client, const RECT& area);
    void PaintChosenItem(HDC dc);
    void PaintButton(HDC dc);
    bool PrimaryButtonDown() const;
    void TrackHot(POINT point);
    bool Editable() const { return (cell.flags & FlagEditableList) != 0; }

    Field field;
    HWND fieldWindow = nullptr; // the box's own child
    std::string original;       // the cell's text when the box opened
    UniqueTheme theme;
    bool themed = false;
    bool swappedButtons = false;
    COLORREF highlight = 0;
    COLORREF highlightText = 0;
    RECT itemRect{};
    RECT buttonRect{};
    bool hot = false;
};
