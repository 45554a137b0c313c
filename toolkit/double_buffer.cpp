#include "toolkit/double_buffer.h"

#include "toolkit/unique_handles.h"

namespace {

void PaintStraight(HDC dc, const RECT& area, const PaintInto& paint)
{
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    paint(dc);
    RestoreDC(dc, saved);
}

} // namespace

void PaintDoubleBuffered(HDC dc, const RECT& area, const PaintInto& paint,
                         MakeBufferBitmap makeBitmap)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    const UniqueDc buffer(CreateCompatibleDC(dc));
    const UniqueBitmap bitmap(buffer ? makeBitmap(dc, width, height) : nullptr);
    if (!bitmap) {
        PaintStraight(dc, area, paint);
        return;
    }
    const SelectGuard select(buffer.get(), bitmap.get());
    // The buffer starts at the area's corner.
    SetWindowOrgEx(buffer.get(), area.left, area.top, nullptr);
    paint(buffer.get());
    BitBlt(dc, area.left, area.top, width, height, buffer.get(), area.left, area.top, SRCCOPY);
}
