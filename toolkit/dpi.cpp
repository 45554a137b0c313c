#include "toolkit/dpi.h"

#include <algorithm>

#include "toolkit/unique_handles.h"

namespace {

// The per-monitor calls exist from Windows 10 on; Windows 7 and 8 have one
// DPI for the whole screen, so the program looks them up rather than
// importing them.
template <typename Call>
Call User32Call(const char* name)
{
    return reinterpret_cast<Call>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
using SystemParametersInfoForDpiProc = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using GetSystemMetricsForDpiProc = int(WINAPI*)(int, UINT);

GetDpiForWindowProc DpiForWindowCall()
{
    static const auto call = User32Call<GetDpiForWindowProc>("GetDpiForWindow");
    return call;
}

SystemParametersInfoForDpiProc ParametersForDpiCall()
{
    static const auto call =
        User32Call<SystemParametersInfoForDpiProc>("SystemParametersInfoForDpi");
    return call;
}

GetSystemMetricsForDpiProc MetricsForDpiCall()
{
    static const auto call = User32Call<GetSystemMetricsForDpiProc>("GetSystemMetricsForDpi");
    return call;
}

} // namespace

int WindowDpi(HWND window)
{
    if (const GetDpiForWindowProc call = DpiForWindowCall(); call != nullptr && window != nullptr) {
        if (const UINT dpi = call(window); dpi != 0) {
            return SaneDpi(static_cast<int>(std::min<UINT>(dpi, kHighestDpi)));
        }
    }
    return SystemDpi();
}

int SystemDpi()
{
    const WindowDc screen(nullptr);
    const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    return dpi > 0 ? SaneDpi(dpi) : 96;
}

bool MessageFontForDpi(int dpi, LOGFONTW& font)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (const SystemParametersInfoForDpiProc call = ParametersForDpiCall();
        call != nullptr &&
        call(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
        font = metrics.lfMessageFont;
        return true;
    }
    // Older systems give the metrics for the system's DPI only.
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return false;
    }
    font = metrics.lfMessageFont;
    if (const int system = SystemDpi(); system != dpi) {
        font.lfHeight = MulDiv(font.lfHeight, dpi, system);
    }
    return true;
}

int SystemMetricForDpi(int index, int dpi)
{
    if (const GetSystemMetricsForDpiProc call = MetricsForDpiCall(); call != nullptr) {
        return call(index, static_cast<UINT>(dpi));
    }
    return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

bool DialogsFollowDpiChanges()
{
    // The dialogs' DPI behaviour can be set from the version that brought it.
    static const bool follow = User32Call<FARPROC>("SetDialogDpiChangeBehavior") != nullptr;
    return follow;
}
