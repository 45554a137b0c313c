#include "toolkit/posted_message_filter.h"

#include "toolkit/dialog_base.h"
#include "toolkit/dpi.h"

namespace {

// Messages whose parameters point into the sender's memory, or whose values
// the system alone decides.
bool IsSystemOnly(UINT message)
{
    switch (message) {
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_DPICHANGED:
    case WM_DPICHANGED_BEFOREPARENT:
    case WM_DPICHANGED_AFTERPARENT:
    case WM_GETDLGCODE:
    case WM_GETOBJECT:
    case WM_CREATE:
    case WM_NCCREATE:
    case WM_INITDIALOG:
    case WM_DESTROY:
    case WM_NCDESTROY:
    case WM_NCCALCSIZE:
    case WM_GETMINMAXINFO:
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_COPYDATA:
    case WM_HELP:
        return true;
    default:
        return false;
    }
}

// What the system sends a window while making it, setting it up as a dialog
// and destroying it, always on the window's own thread.
bool IsLifecycle(UINT message)
{
    switch (message) {
    case WM_NCCREATE:
    case WM_CREATE:
    case WM_INITDIALOG:
    case WM_DESTROY:
    case WM_NCDESTROY:
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK FilterPosted(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && lParam != 0) {
        auto& message = *reinterpret_cast<MSG*>(lParam);
        if (message.message == WM_SETTINGCHANGE) {
            // Some programs post the notice that settings changed: it may
            // stand, but not with a pointer to a name in it.
            message.lParam = 0;
        } else if (PostedMessageFilter::IsSentOnly(message.message)) {
            message.message = WM_NULL;
            message.wParam = 0;
            message.lParam = 0;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

PostedMessageFilter::PostedMessageFilter()
    : hook(SetWindowsHookExA(WH_GETMESSAGE, FilterPosted, nullptr, GetCurrentThreadId()))
{
}

bool PostedMessageFilter::IsSentOnly(UINT message)
{
    // Our controls' notifications come back to them reflected: those are
    // sent only as well.
    if (message >= kReflectedMessageBase && message < kReflectedMessageBase + WM_USER) {
        return IsSystemOnly(message - kReflectedMessageBase);
    }
    return IsSystemOnly(message);
}

bool IsForeignLifecycleMessage(UINT message)
{
    return IsLifecycle(message) && InSendMessageEx(nullptr) != ISMEX_NOSEND;
}
