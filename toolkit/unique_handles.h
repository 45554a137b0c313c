#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>

// One owner for each handle: move-only, closed exactly once by the closer of
// its kind. Borrowed handles are never wrapped.
template <typename Handle, auto Close, Handle Invalid = Handle{}>
class UniqueAny {
public:
    UniqueAny() = default;
    explicit UniqueAny(Handle handle) : value(handle) {}
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    UniqueAny(UniqueAny&& other) noexcept : value(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept
    {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~UniqueAny() { reset(); }

    Handle get() const { return value; }
    explicit operator bool() const { return value != Invalid; }

    Handle release() { return std::exchange(value, Invalid); }

    void reset(Handle handle = Invalid)
    {
        const Handle old = std::exchange(value, handle);
        if (old != Invalid) {
            Close(old);
        }
    }

private:
    Handle value = Invalid;
};

namespace handle_closers {
inline void CloseKernelHandle(HANDLE handle)
{
    CloseHandle(handle);
}
inline void CloseKey(HKEY key)
{
    RegCloseKey(key);
}
inline void DeleteGdiObject(HGDIOBJ object)
{
    DeleteObject(object);
}
inline void DeleteMemoryDc(HDC dc)
{
    DeleteDC(dc);
}
inline void DestroyIconHandle(HICON icon)
{
    DestroyIcon(icon);
}
inline void DestroyImageList(HIMAGELIST list)
{
    ImageList_Destroy(list);
}
inline void FreeGlobal(HGLOBAL memory)
{
    GlobalFree(memory);
}
inline void DestroyWindowHandle(HWND window)
{
    DestroyWindow(window);
}
inline void UnhookWindowsHook(HHOOK hook)
{
    UnhookWindowsHookEx(hook);
}
} // namespace handle_closers

using UniqueHandle = UniqueAny<HANDLE, handle_closers::CloseKernelHandle>;
using UniqueKey = UniqueAny<HKEY, handle_closers::CloseKey>;
using UniqueFont = UniqueAny<HFONT, handle_closers::DeleteGdiObject>;
using UniqueBitmap = UniqueAny<HBITMAP, handle_closers::DeleteGdiObject>;
using UniqueBrush = UniqueAny<HBRUSH, handle_closers::DeleteGdiObject>;
using UniquePen = UniqueAny<HPEN, handle_closers::DeleteGdiObject>;
using UniqueRegion = UniqueAny<HRGN, handle_closers::DeleteGdiObject>;
using UniqueDc = UniqueAny<HDC, handle_closers::DeleteMemoryDc>;
using UniqueIcon = UniqueAny<HICON, handle_closers::DestroyIconHandle>;
using UniqueImageList = UniqueAny<HIMAGELIST, handle_closers::DestroyImageList>;
using UniqueGlobal = UniqueAny<HGLOBAL, handle_closers::FreeGlobal>;
// A window the object created itself, such as a popup it owns.
using UniqueWindow = UniqueAny<HWND, handle_closers::DestroyWindowHandle>;
using UniqueHook = UniqueAny<HHOOK, handle_closers::UnhookWindowsHook>;

// Selects an object into a device context and puts the previous one back,
// into the same context, when it goes.
class SelectGuard {
public:
    SelectGuard(HDC selectInto, HGDIOBJ object)
        : dc(selectInto), previous(object != nullptr ? SelectObject(selectInto, object) : nullptr)
    {
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard()
    {
        if (previous != nullptr) {
            SelectObject(dc, previous);
        }
    }

private:
    HDC dc;
    HGDIOBJ previous;
};

// A window's device context from GetDC, released to that same window.
class WindowDc {
public:
    explicit WindowDc(HWND owner) : window(owner), dc(GetDC(owner)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc()
    {
        if (dc != nullptr) {
            ReleaseDC(window, dc);
        }
    }

    HDC get() const { return dc; }

private:
    HWND window;
    HDC dc;
};

// A window's paint context between BeginPaint and EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND painted) : window(painted), dc(BeginPaint(painted, &paint)) {}
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc()
    {
        if (dc != nullptr) {
            EndPaint(window, &paint);
        }
    }

    HDC get() const { return dc; }
    // The part of the window to paint.
    const RECT& Area() const { return paint.rcPaint; }

private:
    HWND window;
    PAINTSTRUCT paint{};
    HDC dc;
};
