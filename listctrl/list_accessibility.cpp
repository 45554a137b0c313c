// What screen readers get of the list: its object, handed out for
// WM_GETOBJECT, and what the list tells them as it changes: rows coming and
// going, the order, the selection and the focus row. Each row is the child
// row + 1 of the list's client object.
#include "listctrl/list_accessibility.h"

#include <algorithm>
#include <iterator>

#include "listctrl/list_accessible.h"
#include "listctrl/list_window.h"

namespace {

// More changes at once than this are one "the selection changed within"
// event: a reader asks the list for its selection instead of hearing every
// row of a select-all or a clear.
constexpr std::size_t kSeparateSelectionEvents = 8;

// A stored row number after the row removed: the rows behind it moved up.
int AfterRemoval(int stored, int removed)
{
    return stored == removed ? -1 : stored > removed ? stored - 1 : stored;
}

} // namespace

void ListAccessibility::RaiseEvent(DWORD event, LONG child) const
{
    // Cheap while nobody listens; a listener reads names only when it asks.
    NotifyWinEvent(event, list.Handle(), OBJID_CLIENT, child);
}

void ListAccessibility::RowsChanged(ListChange change, int row)
{
    if (list.Handle() == nullptr) {
        return;
    }
    switch (change) {
    case ListChange::RowAdded:
        RaiseEvent(EVENT_OBJECT_CREATE, row + 1);
        break;
    case ListChange::RowRemoved: {
        RaiseEvent(EVENT_OBJECT_DESTROY, row + 1);
        if (row < list.Model().GetItemCount()) {
            // The rows behind it have other child ids now.
            RaiseEvent(EVENT_OBJECT_REORDER, CHILDID_SELF);
        }
        // The model has moved its selection and focus the same way; a
        // removed row is no change of the selection to announce.
        std::vector<int> kept;
        for (const int selected : announcedSelection) {
            if (const int moved = AfterRemoval(selected, row); moved >= 0) {
                kept.push_back(moved);
            }
        }
        announcedSelection.swap(kept);
        announcedFocus = AfterRemoval(announcedFocus, row);
        break;
    }
    case ListChange::RowsCleared:
        RaiseEvent(EVENT_OBJECT_REORDER, CHILDID_SELF);
        if (!announcedSelection.empty()) {
            RaiseEvent(EVENT_OBJECT_SELECTIONWITHIN, CHILDID_SELF);
        }
        announcedSelection.clear();
        break;
    case ListChange::RowsReordered:
        // Every row reads anew; the selection stays on the same row numbers.
        RaiseEvent(EVENT_OBJECT_REORDER, CHILDID_SELF);
        break;
    case ListChange::RowText:
        RaiseEvent(EVENT_OBJECT_NAMECHANGE, row + 1);
        break;
    case ListChange::Selection:
        AnnounceSelection();
        break;
    case ListChange::Focus:
        break;
    }
    AnnounceFocus();
}

void ListAccessibility::AnnounceSelection()
{
    std::vector<int> now;
    list.Model().GetSelectedItems(now);
    std::vector<int> added;
    std::vector<int> removed;
    std::set_difference(now.begin(), now.end(), announcedSelection.begin(),
                        announcedSelection.end(), std::back_inserter(added));
    std::set_difference(announcedSelection.begin(), announcedSelection.end(), now.begin(),
                        now.end(), std::back_inserter(removed));
    if (now.size() == 1 && !added.empty()) {
        // One row, newly selected, is all there is: a plain click, an arrow
        // key or the row a batch has just added.
        RaiseEvent(EVENT_OBJECT_SELECTION, now.front() + 1);
    } else if (added.size() + removed.size() > kSeparateSelectionEvents) {
        RaiseEvent(EVENT_OBJECT_SELECTIONWITHIN, CHILDID_SELF);
    } else {
        for (const int row : added) {
            RaiseEvent(EVENT_OBJECT_SELECTIONADD, row + 1);
        }
        for (const int row : removed) {
            RaiseEvent(EVENT_OBJECT_SELECTIONREMOVE, row + 1);
        }
    }
    announcedSelection.swap(now);
}

void ListAccessibility::AnnounceFocus(bool gained)
{
    const int focus = list.Model().EffectiveFocusRow();
    if (focus == announcedFocus && !gained) {
        return;
    }
    announcedFocus = focus;
    // A row is focused only while the list has the keyboard: a batch that
    // selects its newest row must not pull a reader away from where the
    // user is.
    if (focus >= 0 && GetFocus() == list.Handle()) {
        RaiseEvent(EVENT_OBJECT_FOCUS, focus + 1);
    }
}

IAccessible* ListAccessibility::Object()
{
    if (list.Handle() == nullptr) {
        return nullptr;
    }
    return slot.Get([this] { return NewListAccessible(list); });
}

bool ListAccessibility::OnGetObject(WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    return IsClientObjectRequest(lParam) && AnswerObjectRequest(Object(), wParam, result);
}
