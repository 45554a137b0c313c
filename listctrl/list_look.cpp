#include "listctrl/list_look.h"

ListColors ListColors::Defaults()
{
    ListColors colors{};
    colors.back = GetSysColor(COLOR_WINDOW);
    colors.headerFace = GetSysColor(COLOR_BTNFACE);
    colors.headerHighlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    colors.headerShadow = GetSysColor(COLOR_BTNSHADOW);
    colors.headerText = GetSysColor(COLOR_WINDOWTEXT);
    colors.headerPressed = RGB(130, 140, 180);
    colors.highlight = GetSysColor(COLOR_HIGHLIGHT);
    colors.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    colors.text = GetSysColor(COLOR_WINDOWTEXT);
    colors.selectedOuter = RGB(170, 200, 245);
    colors.selectedInner = RGB(230, 250, 250);
    colors.selectedTop = RGB(210, 240, 250);
    colors.selectedBottom = RGB(185, 215, 250);
    colors.inactiveTop = RGB(250, 250, 250);
    colors.inactiveBottom = RGB(235, 235, 235);
    colors.inactiveOuter = RGB(220, 220, 220);
    colors.inactiveInner = RGB(245, 245, 245);
    colors.focusTop = RGB(235, 245, 245);
    colors.focusBottom = RGB(225, 235, 245);
    colors.progressTop = RGB(170, 240, 170);
    colors.progressBottom = RGB(45, 210, 50);
    colors.focusCell = RGB(180, 190, 210);
    colors.hyperlink = RGB(0, 0, 200);
    return colors;
}

void DrawRoundedFrame(HDC dc, const RECT& rect, COLORREF outer, COLORREF inner, COLORREF fill,
                      const ListLook& look)
{
    const UniquePen outerPen(CreatePen(PS_SOLID, 1, outer));
    const UniqueBrush fillBrush(CreateSolidBrush(fill));
    {
        const SelectGuard pen(dc, outerPen.get());
        const SelectGuard brush(dc, fillBrush.get());
        RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, look.Px(5), look.Px(5));
    }
    const UniquePen innerPen(CreatePen(PS_SOLID, 1, inner));
    const SelectGuard pen(dc, innerPen.get());
    const SelectGuard brush(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1, look.Px(2),
              look.Px(2));
}

void FillVerticalGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        return;
    }
    TRIVERTEX vertices[2] = {};
    vertices[0].x = rect.left;
    vertices[0].y = rect.top;
    vertices[0].Red = static_cast<COLOR16>(GetRValue(top) << 8);
    vertices[0].Green = static_cast<COLOR16>(GetGValue(top) << 8);
    vertices[0].Blue = static_cast<COLOR16>(GetBValue(top) << 8);
    vertices[1].x = rect.right;
    vertices[1].y = rect.bottom;
    vertices[1].Red = static_cast<COLOR16>(GetRValue(bottom) << 8);
    vertices[1].Green = static_cast<COLOR16>(GetGValue(bottom) << 8);
    vertices[1].Blue = static_cast<COLOR16>(GetBValue(bottom) << 8);
    GRADIENT_RECT span = {0, 1};
    GradientFill(dc, vertices, 2, &span, 1, GRADIENT_FILL_RECT_V);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color)
{
    // The background colour of the context fills without a brush object.
    const COLORREF previous = SetBkColor(dc, color);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

HFONT CreateMessageFont()
{
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return nullptr;
    }
    return CreateFontIndirectA(&metrics.lfMessageFont);
}
