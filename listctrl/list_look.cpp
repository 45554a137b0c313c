#include "listctrl/list_look.h"

#include <cstdlib>
#include <utility>

#include "res/resource.h"
#include "toolkit/module.h"

namespace {

// The sizes res/draw_images.py draws the icons and the list's glyphs at,
// for 100, 125, 150, 200 and 300 percent.
constexpr int kDrawnSizes[] = {16, 20, 24, 32, 48};

int ListImagesResource(int size)
{
    switch (size) {
    case 20:
        return IDB_LIST_IMAGES_20;
    case 24:
        return IDB_LIST_IMAGES_24;
    case 32:
        return IDB_LIST_IMAGES_32;
    case 48:
        return IDB_LIST_IMAGES_48;
    default:
        return IDB_LIST_IMAGES;
    }
}

// The 16-pixel glyphs blown up to the size, each pixel repeated rather than
// blended: the magenta key stays exact, so the enlarged set keeps its
// transparency.
UniqueImageList EnlargeListImages(HINSTANCE instance, int size)
{
    const UniqueBitmap strip(static_cast<HBITMAP>(LoadImageA(
        instance, MAKEINTRESOURCEA(IDB_LIST_IMAGES), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof info.bmiHeader, size * LIST_IMAGE_COUNT, -size, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const UniqueBitmap large(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueDc from(CreateCompatibleDC(nullptr));
    const UniqueDc to(CreateCompatibleDC(nullptr));
    if (!strip || !large || !from || !to) {
        return UniqueImageList();
    }
    {
        const SelectGuard source(from.get(), strip.get());
        const SelectGuard target(to.get(), large.get());
        SetStretchBltMode(to.get(), COLORONCOLOR);
        StretchBlt(to.get(), 0, 0, size * LIST_IMAGE_COUNT, size, from.get(), 0, 0,
                   LIST_IMAGE_SIZE * LIST_IMAGE_COUNT, LIST_IMAGE_SIZE, SRCCOPY);
    }
    UniqueImageList images(
        ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, LIST_IMAGE_COUNT, 0));
    if (images &&
        ImageList_AddMasked(images.get(), large.get(), LIST_IMAGE_TRANSPARENT_COLOR) < 0) {
        images.reset();
    }
    return images;
}

// Width and height of a text in a font, measured on the screen.
SIZE MeasureText(HFONT font, const char* text)
{
    SIZE size{};
    const WindowDc screen(nullptr);
    if (screen.get() != nullptr) {
        const SelectGuard select(screen.get(), font);
        GetTextExtentPoint32A(screen.get(), text, lstrlenA(text), &size);
    }
    return size;
}

} // namespace

bool ListLook::LoadImagesAndCursors(int newDpi)
{
    const HINSTANCE instance = programModule.Instance();
    UniqueImageList images = LoadListImages(instance, newDpi);
    UniqueCursor resize = LoadCursorForDpi(instance, IDC_RESIZE_CURSOR, newDpi);
    UniqueCursor hand = LoadCursorForDpi(instance, IDC_HAND_CURSOR, newDpi);
    if (!images || !resize || !hand) {
        return false;
    }
    // A cursor on show takes its new size before the old one is destroyed.
    if (const HCURSOR current = GetCursor(); current != nullptr && current == resizeCursor.get()) {
        SetCursor(resize.get());
    } else if (current != nullptr && current == handCursor.get()) {
        SetCursor(hand.get());
    }
    systemImages = std::move(images);
    resizeCursor = std::move(resize);
    handCursor = std::move(hand);
    return true;
}

bool ListLook::Load(HWND window, int newDpi)
{
    if ((newDpi != dpi || !systemImages) && !LoadImagesAndCursors(newDpi)) {
        return false;
    }
    ++generation;
    colors = ListColors::Defaults();
    dpi = newDpi;
    headerClipboardFormat = RegisterClipboardFormatA("HEADERCLIPBOARDFORMAT");
    UINT lines = 3;
    if (SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) {
        wheelLines = lines;
    }
    listFont.reset(MakeFont());
    underlineFont.reset(MakeFont(true));
    if (!listFont) {
        return false;
    }
    rowHeight = MeasureText(listFont.get(), "Height").cy + Px(6);
    headerHeight = rowHeight;
    if (VisualStyles::Available()) {
        headerTheme.reset(VisualStyles::Open(window, L"HEADER"));
        progressTheme.reset(VisualStyles::Open(window, L"PROGRESS"));
    }
    return true;
}

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

HFONT CreateMessageFont(int dpi, bool underline)
{
    LOGFONTW font{};
    if (!MessageFontForDpi(dpi, font)) {
        return nullptr;
    }
    font.lfUnderline = underline ? TRUE : FALSE;
    return CreateFontIndirectW(&font);
}

int NearestImageSize(int wanted)
{
    int nearest = 0;
    for (const int size : kDrawnSizes) {
        // On a tie the smaller one, which never outgrows the row.
        if (nearest == 0 || std::abs(size - wanted) < std::abs(nearest - wanted)) {
            nearest = size;
        }
    }
    return std::abs(nearest - wanted) * 4 <= wanted ? nearest : 0;
}

UniqueImageList LoadListImages(HINSTANCE instance, int dpi)
{
    const int wanted = ScaleForDpi(LIST_IMAGE_SIZE, dpi);
    const int size = NearestImageSize(wanted);
    if (size == 0) {
        return EnlargeListImages(instance, wanted);
    }
    return UniqueImageList(
        ImageList_LoadImageA(instance, MAKEINTRESOURCEA(ListImagesResource(size)), size, 0,
                             LIST_IMAGE_TRANSPARENT_COLOR, IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

UniqueImageList LoadIconImages(HINSTANCE instance, int iconId, int dpi)
{
    const int wanted = ScaleForDpi(16, dpi);
    const int nearest = NearestImageSize(wanted);
    // Past the drawn sizes the system scales the nearest icon itself.
    const int size = nearest != 0 ? nearest : wanted;
    UniqueImageList images(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 16, 1));
    if (images) {
        const UniqueIcon icon(static_cast<HICON>(
            LoadImageA(instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, size, size, 0)));
        if (icon) {
            ImageList_AddIcon(images.get(), icon.get());
        }
    }
    return images;
}

UniqueCursor LoadCursorForDpi(HINSTANCE instance, int cursorId, int dpi)
{
    const int size = SystemMetricForDpi(SM_CXCURSOR, dpi);
    return UniqueCursor(static_cast<HCURSOR>(
        LoadImageA(instance, MAKEINTRESOURCEA(cursorId), IMAGE_CURSOR, size, size, 0)));
}
