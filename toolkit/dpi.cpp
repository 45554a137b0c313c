#include "toolkit/dpi.h"

namespace {

using GetDpiForWindowProc = UINT(WINAPI*)(HWND);

// The call exists from Windows 10 on; earlier systems have one DPI for the
// whole screen.
GetDpiForWindowProc DpiForWindowCall()
{
    static const GetDpiForWindowProc call = reinterpret_cast<GetDpiForWindowProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    return call;
}

} // namespace

int WindowDpi(HWND window)
{
    if (const GetDpiForWindowProc call = DpiForWindowCall(); call != nullptr && window != nullptr) {
        if (const UINT dpi = call(window); dpi != 0) {
            return static_cast<int>(dpi);
        }
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
}
