#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "listctrl/list_model.h"
#include "toolkit/subclassed_window.h"
#include "toolkit/unique_handles.h"

class ListWindow;

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
    CellEditor(ListWindow& owner, const EditedCell& edited);

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

    ListWindow& list;
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
