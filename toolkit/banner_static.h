#pragma once

#include <windows.h>

#include "toolkit/subclassed_window.h"
#include "toolkit/unique_handles.h"

// Each channel scaled by percent, cut to whole numbers and kept at most 255.
COLORREF ScaleColor(COLORREF color, int percent);

// Paints the strip across the top of a dialog over a static control: a
// gradient in the caption's colours, an etched bottom line, an icon, and the
// control's text as a bold title (its first line) over a smaller body.
class BannerStatic final : public SubclassedWindow {
public:
    BannerStatic() = default;
    ~BannerStatic() override;

    // Loads the module's icon resource at 32 by 32 pixels at 96 DPI, more
    // on a larger scale; a missing one leaves the strip without an icon.
    void SetIcon(int resourceId);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The whole strip into the device context; WM_PAINT draws it off screen
    // first, WM_PRINTCLIENT straight into the caller's context.
    void Paint(HDC dc);
    void PaintBuffered();

    UniqueIcon icon;
    int iconId = 0;
};
