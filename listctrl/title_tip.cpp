// The title tip: a cut-off cell's whole text in a popup over the cell.
#include "listctrl/title_tip.h"

#include <windowsx.h>

#include <commctrl.h>

#include "toolkit/double_buffer.h"
#include "toolkit/module.h"
#include "toolkit/posted_message_filter.h"

namespace {

constexpr UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
constexpr int kTooltipMaxWidth = 32767;

// The non-client message that stands for a button message; 0 for the rest,
// which are not handed on over the frame.
UINT NonClientMessage(UINT message)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        return WM_NCLBUTTONDOWN;
    case WM_LBUTTONUP:
        return WM_NCLBUTTONUP;
    case WM_LBUTTONDBLCLK:
        return WM_NCLBUTTONDBLCLK;
    case WM_RBUTTONDOWN:
        return WM_NCRBUTTONDOWN;
    case WM_RBUTTONUP:
        return WM_NCRBUTTONUP;
    case WM_RBUTTONDBLCLK:
        return WM_NCRBUTTONDBLCLK;
    case WM_MBUTTONDOWN:
        return WM_NCMBUTTONDOWN;
    case WM_MBUTTONUP:
        return WM_NCMBUTTONUP;
    case WM_MBUTTONDBLCLK:
        return WM_NCMBUTTONDBLCLK;
    default:
        return 0;
    }
}

LPARAM PointParam(POINT point)
{
    return MAKELPARAM(point.x, point.y);
}

} // namespace

TitleTip::TitleTip(HWND list, bool themed, const ListLook& listLook)
    : tipOwner(list), tipThemed(themed), look(listLook), tipBackColor(GetSysColor(COLOR_INFOBK)),
      tipTextColor(GetSysColor(themed ? COLOR_WINDOWTEXT : COLOR_INFOTEXT))
{
}

TitleTip::~TitleTip()
{
    // The row tooltip belongs to the tip's window, so it goes first.
    rowTip.reset();
    window.reset();
}

std::unique_ptr<TitleTip> TitleTip::Create(HWND list, bool themed, const ListLook& look)
{
    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_SAVEBITS;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = programModule.Instance();
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return nullptr;
    }
    std::unique_ptr<TitleTip> tip(new TitleTip(list, themed, look));
    tip->tipFont.reset(look.MakeFont());
    if (!tip->tipFont) {
        return nullptr;
    }
    // Topmost, as tooltips are: a raised owner must not cover it.
    tip->window.reset(CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, "", WS_POPUP, 0,
                                      0, 0, 0, list, nullptr, programModule.Instance(), tip.get()));
    if (!tip->window) {
        return nullptr;
    }
    tip->rowTip.reset(CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                      tip->window.get(), nullptr, programModule.Instance(),
                                      nullptr));
    if (tip->rowTip) {
        SendMessageA(tip->rowTip.get(), TTM_SETMAXTIPWIDTH, 0, kTooltipMaxWidth);
    }
    return tip;
}

bool TitleTip::Visible() const
{
    return window && IsWindowVisible(window.get());
}

bool TitleTip::ShowTitleTip(const RECT& textRect, const std::string& text,
                            const std::string& rowText)
{
    if (!window) {
        return false;
    }
    SetWindowTextA(window.get(), text.c_str());
    RECT measured{};
    {
        const WindowDc dc(window.get());
        const SelectGuard font(dc.get(), tipFont.get());
        DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &measured,
                  kTextFormat | DT_CALCRECT);
    }
    const int width = measured.right - measured.left;
    if (width <= textRect.right - textRect.left - 1) {
        return false;
    }
    SetRowTip(rowText);
    SetWindowPos(window.get(), nullptr, textRect.left - look.Px(4), textRect.top,
                 width + look.Px(11), textRect.bottom - textRect.top,
                 SWP_NOACTIVATE | SWP_NOZORDER | SWP_SHOWWINDOW);
    // A tip of the same size moved to another cell keeps its old pixels.
    InvalidateRect(window.get(), nullptr, FALSE);
    SetCapture(window.get());
    return true;
}

void TitleTip::Hide()
{
    shownRow = -1;
    shownPosition = -1;
    if (!window) {
        return;
    }
    if (GetCapture() == window.get()) {
        ReleaseCapture();
    }
    if (IsWindowVisible(window.get())) {
        ShowWindow(window.get(), SW_HIDE);
    }
}

void TitleTip::SetRowTip(const std::string& rowText)
{
    if (!rowTip) {
        return;
    }
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = window.get();
    tool.uId = reinterpret_cast<UINT_PTR>(window.get());
    SendMessageA(rowTip.get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    if (rowText.empty()) {
        SendMessageA(rowTip.get(), TTM_ACTIVATE, FALSE, 0);
        return;
    }
    tool.lpszText = const_cast<char*>(rowText.c_str());
    SendMessageA(rowTip.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(rowTip.get(), TTM_ACTIVATE, TRUE, 0);
}

std::string TitleTip::Text() const
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window.get())) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window.get(), text.data(), static_cast<int>(text.size()))));
    return text;
}

void TitleTip::Paint(HDC dc)
{
    RECT client{};
    GetClientRect(window.get(), &client);
    PaintDoubleBuffered(dc, client, [&](HDC target) { PaintTip(target, client); });
}

void TitleTip::PaintTip(HDC dc, const RECT& client) const
{
    if (tipThemed) {
        // The corners outside the rounding show the list's usual background.
        const COLORREF around = GetSysColor(COLOR_WINDOW);
        FillSolid(dc, client, around);
        DrawRoundedFrame(dc, client, tipOuterColor, tipInnerColor, around, look);
        RECT inside = client;
        InflateRect(&inside, -2, -2);
        FillVerticalGradient(dc, inside, tipTopColor, tipBottomColor);
    } else {
        FillSolid(dc, client, tipBackColor);
        const UniqueBrush frame(CreateSolidBrush(tipTextColor));
        FrameRect(dc, &client, frame.get());
    }
    const std::string text = Text();
    RECT rect = client;
    rect.left += look.Px(4);
    const SelectGuard font(dc, tipFont.get());
    SetTextColor(dc, tipTextColor);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, kTextFormat);
}

LRESULT CALLBACK TitleTip::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsForeignLifecycleMessage(message)) {
        return 0; // another thread's creation notice holds no structure of ours
    }
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TitleTip*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    try {
        return self->OnMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

LRESULT TitleTip::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        const PaintDc dc(hwnd);
        if (dc.get() != nullptr) {
            Paint(dc.get());
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        // The list keeps the focus and its window stays the active one.
        return MA_NOACTIVATE;
    case WM_DESTROY:
        // The system may have destroyed the owned tooltip already.
        if (IsWindow(rowTip.get())) {
            rowTip.reset();
        } else {
            rowTip.release();
        }
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        if (window.get() == hwnd) {
            window.release();
        }
        break;
    default:
        if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
            OnMouse(message, wParam, lParam);
            return 0;
        }
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void TitleTip::OnMouse(UINT message, WPARAM wParam, LPARAM lParam)
{
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (rowTip) {
        MSG relayed{window.get(), message, wParam, lParam, static_cast<DWORD>(GetMessageTime()),
                    point};
        SendMessageA(rowTip.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    // The wheel's point is on the screen already; the others are the tip's.
    if (message != WM_MOUSEWHEEL && message != WM_MOUSEHWHEEL) {
        ClientToScreen(window.get(), &point);
    }
    if (message == WM_MOUSEMOVE) {
        RECT rect{};
        GetWindowRect(window.get(), &rect);
        if (!PtInRect(&rect, point)) {
            Hide();
            return;
        }
    }
    HandToList(message, wParam, point);
}

// Posted, not sent: the list may hide the tip or take the capture, which it
// must not do while the tip is still inside its own message.
void TitleTip::HandToList(UINT message, WPARAM wParam, POINT screen)
{
    // A disabled list takes no input, from the tip no more than directly.
    if (!IsWindowEnabled(tipOwner)) {
        Hide();
        return;
    }
    const LRESULT hit = SendMessageA(tipOwner, WM_NCHITTEST, 0, PointParam(screen));
    if (hit == HTCLIENT) {
        POINT client = screen;
        if (message != WM_MOUSEWHEEL && message != WM_MOUSEHWHEEL) {
            ScreenToClient(tipOwner, &client);
        }
        PostMessageA(tipOwner, message, wParam, PointParam(client));
        return;
    }
    if (const UINT nonClient = NonClientMessage(message)) {
        PostMessageA(tipOwner, nonClient, static_cast<WPARAM>(hit), PointParam(screen));
    }
}
