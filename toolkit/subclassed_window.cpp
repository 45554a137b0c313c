#include "toolkit/subclassed_window.h"

#include <commctrl.h>

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
    if (message == WM_NCDESTROY) {
        // The subclass must be gone before the window is: comctl32 requires
        // it, and the object must not keep a handle that will be reused.
        const LRESULT result = self->WindowProc(message, wParam, lParam);
        RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        self->window = nullptr;
        return result;
    }
    try {
        return self->WindowProc(message, wParam, lParam);
    } catch (...) {
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
}
