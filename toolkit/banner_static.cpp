#include "toolkit/banner_static.h"

#include <algorithm>
#include <string>

#include "toolkit/double_buffer.h"
#include "toolkit/dpi.h"
#include "toolkit/module.h"

namespace {

// Sizes at 96 DPI.
constexpr int kMargin = 5;
constexpr int kIconSize = 32;
constexpr int kTextAfterIcon = 43; // margin, icon and a gap of six

// Tahoma at the given point size for the window's DPI. The default
// character set lets the face name choose the font on any code page.
UniqueFont CreateBannerFont(int dpi, int points, int weight)
{
    LOGFONTA description{};
    description.lfHeight = -MulDiv(points, dpi, 72);
    description.lfWeight = weight;
    description.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(description.lfFaceName, "Tahoma", LF_FACESIZE);
    return UniqueFont(CreateFontIndirectA(&description));
}

COLOR16 Channel(BYTE value)
{
    return static_cast<COLOR16>(value << 8);
}

void FillGradient(HDC dc, const RECT& banner, COLORREF start, COLORREF end)
{
    TRIVERTEX corners[2] = {
        {0, 0, Channel(GetRValue(start)), Channel(GetGValue(start)), Channel(GetBValue(start)), 0},
        {banner.right - banner.left, banner.bottom - banner.top, Channel(GetRValue(end)),
         Channel(GetGValue(end)), Channel(GetBValue(end)), 0},
    };
    GRADIENT_RECT rect{0, 1};
    GradientFill(dc, corners, 2, &rect, 1, GRADIENT_FILL_RECT_H);
}

std::string WindowText(HWND hwnd)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

COLORREF ScaleColor(COLORREF color, int percent)
{
    const auto scale = [percent](BYTE channel) {
        const int scaled = static_cast<int>(channel * (percent * 0.01));
        return static_cast<BYTE>(std::clamp(scaled, 0, 255));
    };
    return RGB(scale(GetRValue(color)), scale(GetGValue(color)), scale(GetBValue(color)));
}

BannerStatic::~BannerStatic()
{
    // No message may reach the object while its icon goes.
    Unsubclass();
}

void BannerStatic::SetIcon(int resourceId)
{
    iconId = resourceId;
    const int size = ScaleForDpi(kIconSize, WindowDpi(Handle()));
    icon.reset(static_cast<HICON>(LoadImageA(programModule.Instance(), MAKEINTRESOURCEA(resourceId),
                                             IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

void BannerStatic::Paint(HDC dc)
{
    const int dpi = WindowDpi(Handle());
    const auto px = [dpi](int size96) { return ScaleForDpi(size96, dpi); };
    const UniqueFont titleFont = CreateBannerFont(dpi, 8, FW_BOLD);
    const UniqueFont bodyFont = CreateBannerFont(dpi, 7, FW_NORMAL);
    RECT banner{};
    GetClientRect(Handle(), &banner);
    banner.right += 1;

    const std::string text = WindowText(Handle());
    const std::size_t lineFeed = text.find('\n');
    const std::string title = text.substr(0, lineFeed);
    const std::string body = lineFeed == std::string::npos ? "" : text.substr(lineFeed + 1);

    const COLORREF start = GetSysColor(COLOR_ACTIVECAPTION);
    FillGradient(dc, banner, start, ScaleColor(start, 200));
    DrawEdge(dc, &banner, EDGE_ETCHED, BF_BOTTOM);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    if (icon) {
        DrawIconEx(dc, banner.left + px(kMargin), banner.top + px(kMargin), icon.get(),
                   px(kIconSize), px(kIconSize), 0, nullptr, DI_NORMAL);
    }
    RECT area{banner.left + px(icon ? kTextAfterIcon : kMargin), banner.top + px(kMargin),
              banner.right - px(kMargin), banner.bottom - px(kMargin)};
    const COLORREF oldColor = SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    {
        const SelectGuard font(dc, titleFont.get());
        RECT measured = area;
        DrawTextA(dc, title.c_str(), -1, &measured, DT_CALCRECT);
        DrawTextA(dc, title.c_str(), -1, &measured, 0);
        area.top = measured.bottom;
    }
    {
        const SelectGuard font(dc, bodyFont.get());
        DrawTextA(dc, body.c_str(), -1, &area, 0);
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

void BannerStatic::PaintBuffered()
{
    const PaintDc painting(Handle());
    if (painting.get() == nullptr) {
        return;
    }
    RECT client{};
    GetClientRect(Handle(), &client);
    // Drawn off screen first, so the gradient never shows without its text.
    PaintDoubleBuffered(painting.get(), client, [this](HDC target) { Paint(target); });
}

LRESULT BannerStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // Painted in the caption's colours, read at each paint.
        InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
    case WM_DPICHANGED_AFTERPARENT:
        // The fonts are made for each paint; the icon is loaded anew.
        if (icon) {
            SetIcon(iconId);
        }
        InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
    case WM_PAINT:
    case WM_PRINTCLIENT:
        if (wParam != 0) {
            Paint(reinterpret_cast<HDC>(wParam));
        } else {
            PaintBuffered();
        }
        return 0;
    default:
        return DefaultProc(message, wParam, lParam);
    }
}
