#include "toolkit/subclassed_window.h"

#include <commctrl.h>

#include "toolkit/posted_message_filter.h"

namespace {
constexpr UINT_PTR kSubclassId = 1;
}

SubclassedWindow::~SubclassedWindow()
{
    Unsubclass();
}

bool SubclassedWindow::Subclass(HWND hwnd)
{
    if (window != nullptr || hwnd == nullptr) {
        return false;
    }
    if (!SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    window = hwnd;
    return true;
}

void SubclassedWindow::Unsubclass()
{
    if (window != nullptr) {
        RemoveWindowSubclass(window, SubclassProc, kSubclassId);
        window = nullptr;
    }
}

LRESULT SubclassedWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefaultProc(message, wParam, lParam);
}

LRESULT SubclassedWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedWindow::SubclassProc(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR, DWORD_PTR refData)
{
    auto* self = reinterpret_cast<SubclassedWindow*>(refData);
    if (IsForeignLifecycleMessage(message)) {
        // Not even the control's own procedure hears it: a static would free
        // its text on a destruction that is not happening.
        return 0;
    }
    LRESULT result = 0;
    try {
        result = self->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the system; the window then answers as it
        // would have without the object.
        result = DefSubclassProc(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The subclass must be gone before the window is: comctl32 requires
        // it, and the object must not keep a handle that will be reused. This
        // holds even when the handler failed, so it runs after the catch.
        RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        // A handler that already moved the object to another window keeps it.
        if (self->window == hwnd) {
            self->window = nullptr;
        }
    }
    return result;
}
