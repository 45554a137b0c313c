#pragma once

#include <windows.h>

#include <memory>

class ComboEditor;
class DateEditor;
class EditBoxEditor;
class ListWindow;
struct ListNotify;

// The in-place editors: opening the one a cell's format asks for over the
// focus cell, and taking the edited value back when it closes. One editor of
// each kind, made anew for every edit.
class ListEditing {
public:
    explicit ListEditing(ListWindow& owner);
    ~ListEditing();
    ListEditing(const ListEditing&) = delete;
    ListEditing& operator=(const ListEditing&) = delete;

    // An editor is open over the focus cell.
    bool IsOpen() const { return open; }
    // Opens the cell's editor when the list holds the focus; answers whether
    // one opened.
    bool Open(int row, int position);
    // After a selection: opens the focus cell's editor when it is in view,
    // otherwise brings the focus row into view a moment later.
    void FollowFocus();
    // The end of that wait.
    void BringFocusIntoView();
    // The editors' notices and commands, which reach the list as their
    // parent; true when the notice was an editor's.
    bool OnNotify(LPARAM lParam);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    // The window is going: the editors go without telling anyone.
    void Destroy();

private:
    void Begin();
    bool Opened(bool opened);
    bool IsEditorWindow(HWND candidate) const;
    void OnEnd(const ListNotify& notice);
    bool IsFocusCellInView() const;

    ListWindow& list;
    std::unique_ptr<EditBoxEditor> editBox;
    std::unique_ptr<ComboEditor> comboBox;
    std::unique_ptr<DateEditor> datePicker;
    bool open = false;
};
