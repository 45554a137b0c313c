#pragma once

#include <windows.h>

#include "toolkit/unique_handles.h"

// Any program on the desktop can post any message to our windows, with any
// number in it. Some messages are only ever sent by the system or by our own
// controls, and carry pointers (notifications, owner-drawn items, the DPI
// change's rectangle): posted, their pointers are junk. While this object
// lives, such messages posted to the windows of the thread that made it are
// turned into WM_NULL before any window procedure sees them. Sent messages do
// not pass the filter, so the system's and our controls' own are untouched.
class PostedMessageFilter {
public:
    PostedMessageFilter();
    PostedMessageFilter(const PostedMessageFilter&) = delete;
    PostedMessageFilter& operator=(const PostedMessageFilter&) = delete;
    ~PostedMessageFilter() = default;

    // Whether the message is one that only arrives sent.
    static bool IsSentOnly(UINT message);

private:
    UniqueHook hook;
};

// Whether the message being handled is one the system sends a window only
// from the window's own thread (its creation, its set-up, its destruction)
// and came from another thread or process instead. Any program can send our
// windows any message; such a one must do nothing, or another program could
// make the dialog set itself up again or a control drop its subclass.
bool IsForeignLifecycleMessage(UINT message);
