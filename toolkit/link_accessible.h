#pragma once

#include "toolkit/accessible_object.h"

class HyperLinkLabel;

// A hyperlink label as screen readers see it: a link (ROLE_SYSTEM_LINK) named
// by its text, whose default action "Jump" does what a click does. Its value
// is the target it opens, where it has one. The object refers to the label
// only while its window lives; the label cuts it off in WM_DESTROY.
AccessibleObject* NewLinkAccessible(HyperLinkLabel& link);
