#pragma once

#include <windows.h>

#include <uxtheme.h>

// The visual-styles library, loaded on first use so that the program also
// runs where it is missing; every call then answers as if styles were off.
class VisualStyles {
public:
    // Whether the library could be loaded; tried once per process.
    static bool Available();

    // Null when styles are off or the library is missing.
    static HTHEME Open(HWND window, const wchar_t* classList);
    static void Close(HTHEME theme);
    static bool DrawBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect,
                               const RECT* clip = nullptr);
};

// One owner for a theme handle.
class UniqueTheme {
public:
    UniqueTheme() = default;
    UniqueTheme(const UniqueTheme&) = delete;
    UniqueTheme& operator=(const UniqueTheme&) = delete;
    ~UniqueTheme() { reset(); }

    HTHEME get() const { return theme; }
    explicit operator bool() const { return theme != nullptr; }
    void reset(HTHEME newTheme = nullptr)
    {
        if (theme != nullptr) {
            VisualStyles::Close(theme);
        }
        theme = newTheme;
    }

private:
    HTHEME theme = nullptr;
};
