#pragma once

#include <windows.h>

#include <vector>

#include "listctrl/list_model.h"
#include "toolkit/accessible_object.h"

class ListWindow;

// What screen readers get of the list: its accessible object, handed out for
// WM_GETOBJECT and cut off when the window goes, and the events that tell
// them of new, removed and reordered rows, the selection and the focus row.
// Each row is the child row + 1 of the list's client object.
class ListAccessibility {
public:
    explicit ListAccessibility(ListWindow& owner) : list(owner) {}

    // A new reference to the list's object; null when it cannot be made.
    IAccessible* Object();
    bool OnGetObject(WPARAM wParam, LPARAM lParam, LRESULT& result);
    // From now on the object answers that the list is gone.
    void Disconnect() { slot.Reset(); }

    // The model's report of a change, after it was made.
    void RowsChanged(ListChange change, int row);
    // Tells of the focus row when it moved; gained: the list has just taken
    // the keyboard focus, which is news even on the same row.
    void AnnounceFocus(bool gained = false);

private:
    void AnnounceSelection();
    void RaiseEvent(DWORD event, LONG child) const;

    ListWindow& list;
    AccessibleSlot slot;
    // What screen readers were last told: the selected rows and the focus row.
    std::vector<int> announcedSelection;
    int announcedFocus = -1;
};
