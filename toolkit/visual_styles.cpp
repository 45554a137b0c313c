#include "toolkit/visual_styles.h"

#include "toolkit/unique_handles.h"

namespace {

using OpenThemeDataProc = HTHEME(WINAPI*)(HWND, LPCWSTR);
using CloseThemeDataProc = HRESULT(WINAPI*)(HTHEME);
using DrawThemeBackgroundProc = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCRECT, LPCRECT);

struct Library {
    HMODULE handle = nullptr;
    OpenThemeDataProc open = nullptr;
    CloseThemeDataProc close = nullptr;
    DrawThemeBackgroundProc draw = nullptr;

    Library()
    {
        handle = LoadLibraryA("uxtheme.dll");
        if (handle == nullptr) {
            return;
        }
        open = reinterpret_cast<OpenThemeDataProc>(
            reinterpret_cast<void*>(GetProcAddress(handle, "OpenThemeData")));
        close = reinterpret_cast<CloseThemeDataProc>(
            reinterpret_cast<void*>(GetProcAddress(handle, "CloseThemeData")));
        draw = reinterpret_cast<DrawThemeBackgroundProc>(
            reinterpret_cast<void*>(GetProcAddress(handle, "DrawThemeBackground")));
        if (open == nullptr || close == nullptr || draw == nullptr) {
            open = nullptr;
        }
    }
};

// Loaded once and kept for the life of the process: theme handles of any
// window may still refer to it.
const Library& TheLibrary()
{
    static const Library library;
    return library;
}

} // namespace

bool VisualStyles::Available()
{
    return TheLibrary().open != nullptr;
}

HTHEME VisualStyles::Open(HWND window, const wchar_t* classList)
{
    return Available() ? TheLibrary().open(window, classList) : nullptr;
}

void VisualStyles::Close(HTHEME theme)
{
    if (Available() && theme != nullptr) {
        TheLibrary().close(theme);
    }
}

bool VisualStyles::DrawBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect,
                                  const RECT* clip)
{
    return Available() && theme != nullptr &&
           SUCCEEDED(TheLibrary().draw(theme, dc, part, state, &rect, clip));
}

void handle_closers::CloseTheme(HTHEME theme)
{
    VisualStyles::Close(theme);
}
