#pragma once

#include <windows.h>

// The DPI notices of Windows 10, which headers for Windows 7 leave out: the
// top-level window's, and the ones its children get before and after it.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_DPICHANGED_BEFOREPARENT
#define WM_DPICHANGED_BEFOREPARENT 0x02E2
#endif
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

// The scales the program draws at. Windows offers 100 to 500 percent; a
// value outside these bounds is no screen's, and drawing for it would only
// exhaust memory.
inline constexpr int kLowestDpi = 48;
inline constexpr int kHighestDpi = 960;

inline int SaneDpi(int dpi)
{
    return dpi < kLowestDpi ? kLowestDpi : dpi > kHighestDpi ? kHighestDpi : dpi;
}

// The dots per inch the window is shown at: its monitor's on Windows 10,
// where the program follows each monitor's scale; the system's elsewhere.
int WindowDpi(HWND window);

// The DPI the system's metrics and fonts are given for.
int SystemDpi();

// A size given for 96 DPI, in pixels at the given DPI. Every fixed size of
// painting and hit testing passes through here, so at 96 DPI each size is
// exactly the one given.
inline int ScaleForDpi(int size96, int dpi)
{
    return MulDiv(size96, dpi, 96);
}

// The system's message font as it is at the given DPI; false when the
// system's metrics cannot be read.
bool MessageFontForDpi(int dpi, LOGFONTW& font);

// A system metric (SM_CXICON, SM_CXCURSOR and the like) at the given DPI.
int SystemMetricForDpi(int index, int dpi);

// Whether the dialog manager scales a dialog's font and controls when the
// dialog's DPI changes, as Windows 10 does from version 1703 on for programs
// that follow each monitor's scale. Earlier systems leave it to the program.
bool DialogsFollowDpiChanges();
