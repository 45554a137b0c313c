#pragma once

#include <windows.h>

#include <commctrl.h>
#include <uxtheme.h>

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
inline void DestroyCursorHandle(HCURSOR cursor)
{
    DestroyCursor(cursor);
}
// Through the visual-styles library, which is loaded only when first asked
// for (toolkit/visual_styles.cpp).
void CloseTheme(HTHEME theme);
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
// A cursor loaded from a file or a resource at a size of its own, not a shared one.
using UniqueCursor = UniqueAny<HCURSOR, handle_closers::DestroyCursorHandle>;
using UniqueTheme = UniqueAny<HTHEME, handle_closers::CloseTheme>;

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

// The calls a PaintDc makes; a test puts counting ones in their place.
struct PaintCalls {
    static HDC Begin(HWND window, PAINTSTRUCT* paint) { return BeginPaint(window, paint); }
    static void End(HWND window, const PAINTSTRUCT* paint) { EndPaint(window, paint); }
};

// One WM_PAINT's painting: BeginPaint when made, EndPaint when it goes, with
// the very structure BeginPaint filled, which is why it is neither copied nor
// moved. get() is null when the window could not be painted; nothing is
// ended then.
template <typename Calls = PaintCalls>
class BasicPaintDc {
public:
    explicit BasicPaintDc(HWND owner) : window(owner), dc(Calls::Begin(owner, &paint)) {}
    BasicPaintDc(const BasicPaintDc&) = delete;
    BasicPaintDc& operator=(const BasicPaintDc&) = delete;
    ~BasicPaintDc()
    {
        if (dc != nullptr) {
            Calls::End(window, &paint);
        }
    }

    HDC get() const { return dc; }
    const PAINTSTRUCT& PaintStruct() const { return paint; }
    // The part of the window to paint.
    const RECT& Area() const { return paint.rcPaint; }

private:
    HWND window;
    // Before dc: BeginPaint fills it while dc is being made.
    PAINTSTRUCT paint{};
    HDC dc;
};
using PaintDc = BasicPaintDc<>;
