#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "listctrl/list_model.h"
#include "toolkit/subclassed_window.h"
#include "toolkit/unique_handles.h"
#include "toolkit/visual_styles.h"

class PasswordListControl;

// The cell an editor works on.
struct EditedCell {
    int row = -1;
    int position = -1; // display position of the column
    std::uint32_t flags = 0;
    RECT rect{}; // the cell, in the list's client coordinates
};

// What the in-place editors share. An editor is a child window of the list
// that this object creates, owns and takes over; it lives from its opening
// to the end of the edit, when it tells the list what was edited
// (NotifyEndEdit) and hides. Destroying the object destroys the window
// without telling the list anything.
class CellEditor : public SubclassedWindow {
public:
    ~CellEditor() override;

    HWND Control() const { return control.get(); }
    // Between the opening and the end of the edit.
    bool IsOpen() const { return open; }

protected:
    CellEditor(PasswordListControl& owner, const EditedCell& edited);

    // Takes the new window over; false, and nothing kept, when it cannot be
    // had. The font must exist by then.
    bool Adopt(HWND created);
    // A child window of the list over the edited cell, moved in by the given
    // sizes (at 96 DPI) on each side.
    HWND CreateOverCell(const char* windowClass, const char* text, DWORD style, int id, int left,
                        int top, int right, int bottom) const;
    // Tab, Enter and Escape: remembers the key and gives the focus back to
    // the list, which ends the edit. False for any other key.
    bool EndByKey(UINT key);
    // Hides the editor and tells the list, once, that the edit is over. The
    // object may be gone when it returns: touch nothing of it afterwards.
    void Finish(const std::string& text, const SYSTEMTIME* dateTime);
    std::string ControlText() const;
    // Messages of the open editor; true when handled, with the result.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    PasswordListControl& list;
    const EditedCell cell;
    UniqueFont font;
    BYTE endKey = 0;
    bool open = false;

private:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) final;

    UniqueWindow control;
};

// Applies the number rules of the cell's flags to a character typed into an
// edit window: a sign flip or a refusal. True when the character was dealt
// with here and must not reach the window.
bool FilterNumberCharacter(HWND edit, std::uint32_t flags, char typed);
// Characters that end an edit: Tab, Enter and Escape.
bool IsEndingCharacter(WPARAM character);

// An edit box over the cell.
class EditBoxEditor final : public CellEditor {
public:
    EditBoxEditor(PasswordListControl& owner, const EditedCell& edited) : CellEditor(owner, edited)
    {
    }
    bool Open(const std::string& text);

private:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// A drop-down list (with an edit field under FlagEditableList) of the cell's
// choices, painted on the cell's own background.
class ComboEditor final : public CellEditor {
public:
    ComboEditor(PasswordListControl& owner, const EditedCell& edited);
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

// A date-and-time picker over the cell.
class DateEditor final : public CellEditor {
public:
    DateEditor(PasswordListControl& owner, const EditedCell& edited) : CellEditor(owner, edited) {}
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
