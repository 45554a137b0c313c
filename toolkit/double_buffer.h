#pragma once

#include <windows.h>

#include <functional>

// Draws a picture into the context it is given, in the target's coordinates.
using PaintInto = std::function<void(HDC)>;
// Makes the off-screen bitmap for a target context, as CreateCompatibleBitmap
// does; null when there is no memory for it.
using MakeBufferBitmap = HBITMAP(WINAPI*)(HDC target, int width, int height);

// Paints the area of dc (in its logical coordinates) into an off-screen
// bitmap and copies that to dc in one go, so a window never shows a picture
// half drawn. Where no bitmap can be had, paint draws straight onto dc,
// clipped to the area: a picture that flickers is better than none. Either
// way paint draws in dc's coordinates, and nothing outside the area changes.
void PaintDoubleBuffered(HDC dc, const RECT& area, const PaintInto& paint,
                         MakeBufferBitmap makeBitmap = CreateCompatibleBitmap);
