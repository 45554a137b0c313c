#pragma once

#include <windows.h>

#include <uxtheme.h>

// The visual-styles library, loaded on first use so that the program also
// runs where it is missing; every call then answers as if styles were off.
class VisualStyles {
public:
    // Whether the library could be loaded; tried once per process.
    static bool Available();

    // Null when styles are off or the library is missing; its owner is a
    // UniqueTheme (toolkit/unique_handles.h).
    static HTHEME Open(HWND window, const wchar_t* classList);
    static void Close(HTHEME theme);
    static bool DrawBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect,
                               const RECT* clip = nullptr);
};
