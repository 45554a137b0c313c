#pragma once

#include "toolkit/accessible_object.h"

class ListWindow;

// The password list as screen readers see it: the list's client object
// (ROLE_SYSTEM_LIST), answered to WM_GETOBJECT.
//
// Its children are simple elements, no objects of their own. Children 1 to n
// are the rows in the list's order (ROLE_SYSTEM_LISTITEM), so row r is always
// child r + 1, the id the list's events carry. While the header shows, the
// column titles follow as children n + 1 to n + c in the header's display
// order (ROLE_SYSTEM_COLUMNHEADER): after the rows, so that adding a row or
// moving a column never renumbers the other kind. Moving among the rows
// (next, previous, up, down, first and last child) stays among the rows;
// moving left and right goes from title to title.
//
// The object refers to the control only while its window lives; the control
// cuts it off in WM_DESTROY.
AccessibleObject* NewListAccessible(ListWindow& list);
