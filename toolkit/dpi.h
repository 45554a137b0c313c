#pragma once

#include <windows.h>

// The dots per inch the window is shown at: 96 while the program does not
// declare itself aware of the screen's scale, as now.
int WindowDpi(HWND window);

// A size given for 96 DPI, in pixels at the given DPI. Every fixed size of
// painting and hit testing passes through here, so a program that becomes
// aware of the screen's scale changes nothing else.
inline int ScaleForDpi(int size96, int dpi)
{
    return MulDiv(size96, dpi, 96);
}
