// The list's window: registration, set-up, view settings, the message map
// and what the model asks of its window.
#include "listctrl/password_list_control.h"

#include <windowsx.h>

#include "listctrl/cell_editors.h"
#include "listctrl/header_drag.h"
#include "listctrl/list_animation.h"
#include "listctrl/list_date.h"
#include "listctrl/title_tip.h"
#include "res/resource.h"
#include "toolkit/dpi.h"
#include "toolkit/module.h"

namespace {

constexpr int kTooltipMaxWidth = 32767;

// Width and height of a text in a font, measured on the screen.
SIZE MeasureText(HFONT font, const char* text)
{
    SIZE size{};
    const HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return size;
    }
    {
        const SelectGuard select(screen, font);
        GetTextExtentPoint32A(screen, text, lstrlenA(text), &size);
    }
    ReleaseDC(nullptr, screen);
    return size;
}

} // namespace

PasswordListControl::PasswordListControl() : model(this) {}

PasswordListControl::~PasswordListControl()
{
    // The drop target and the editors refer to this object; they go before
    // the rest.
    dragDrop.reset();
    editBox.reset();
    comboBox.reset();
    datePicker.reset();
}

bool PasswordListControl::RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassA(&windowClass) != 0) {
        return true;
    }
    // A second dialog in the same process finds the class already there.
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool PasswordListControl::Setup()
{
    if (Handle() == nullptr || !LoadViewSettings()) {
        return false;
    }
    AdjustFrame();
    // Without OLE on this thread there is no column dragging; the rest of
    // the list works the same.
    dragDrop = HeaderDragDrop::Register(*this);
    CreateTooltip();
    ResetScrollBars();
    return true;
}

// The images and cursors of the old DPI stay until all new ones are had.
bool PasswordListControl::LoadResources(int dpi)
{
    const HINSTANCE instance = module.Instance();
    UniqueImageList images = LoadListImages(instance, dpi);
    UniqueCursor resize = LoadCursorForDpi(instance, IDC_RESIZE_CURSOR, dpi);
    UniqueCursor hand = LoadCursorForDpi(instance, IDC_HAND_CURSOR, dpi);
    if (!images || !resize || !hand) {
        return false;
    }
    // A cursor on show takes its new size before the old one is destroyed.
    if (const HCURSOR current = GetCursor(); current != nullptr && current == resizeCursor) {
        SetCursor(resize.get());
    } else if (current != nullptr && current == handCursor) {
        SetCursor(hand.get());
    }
    systemImages = std::move(images);
    ownResizeCursor = std::move(resize);
    ownHandCursor = std::move(hand);
    resizeCursor = ownResizeCursor.get();
    handCursor = ownHandCursor.get();
    return true;
}

bool PasswordListControl::LoadViewSettings()
{
    return LoadLook(WindowDpi(Handle()));
}

bool PasswordListControl::LoadLook(int requestedDpi)
{
    const int dpi = SaneDpi(requestedDpi);
    const bool rescaled = dpi != look.dpi;
    if ((rescaled || !systemImages) && !LoadResources(dpi)) {
        return false;
    }
    ++lookGeneration;
    look.colors = ListColors::Defaults();
    model.SetDefaultColors(look.colors.back, look.colors.text);
    look.dpi = dpi;
    headerClipboardFormat = RegisterClipboardFormatA("HEADERCLIPBOARDFORMAT");
    UINT lines = 3;
    if (SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) {
        look.wheelLines = lines;
    }

    look.listFont.reset(CreateMessageFont(dpi));
    look.underlineFont.reset(CreateMessageFont(dpi, true));
    model.listFont = look.listFont.get();
    if (!look.listFont) {
        return false;
    }

    const int height = MeasureText(look.listFont.get(), "Height").cy + look.Px(6);
    if (model.rowHeight != height || rescaled || !dropMarker) {
        model.rowHeight = height;
        model.headerHeight = height;
        dropMarker.reset(CreateDropMarker(Handle(), model.headerHeight, look));
    }
    if (VisualStyles::Available()) {
        look.headerTheme.reset(VisualStyles::Open(Handle(), L"HEADER"));
        look.progressTheme.reset(VisualStyles::Open(Handle(), L"PROGRESS"));
    }
    // The tip takes the look and the font as they are now.
    HideTitleTip();
    titleTip.reset();
    titleTip = TitleTip::Create(Handle(), Themed(), look);
    return true;
}

void PasswordListControl::AdjustFrame()
{
    const LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    SetWindowLongPtrA(Handle(), GWL_STYLE, (style & ~WS_BORDER) | WS_CLIPCHILDREN);
    const LONG_PTR exStyle = GetWindowLongPtrA(Handle(), GWL_EXSTYLE);
    SetWindowLongPtrA(Handle(), GWL_EXSTYLE, (exStyle & ~WS_EX_CLIENTEDGE) | WS_EX_STATICEDGE);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void PasswordListControl::CreateTooltip()
{
    tooltip.reset(CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  Handle(), nullptr, module.Instance(), nullptr));
    if (tooltip) {
        SendMessageA(tooltip.get(), TTM_SETMAXTIPWIDTH, 0, kTooltipMaxWidth);
    }
}

void PasswordListControl::OnDestroy()
{
    dragDrop.reset();
    dropMarker.reset();
    titleTip.reset();
    editBox.reset();
    comboBox.reset();
    datePicker.reset();
    editing = false;
    tooltip.reset();
    StopAnimation();
    // A screen reader may hold the list's object longer than the window
    // lives: from now on it answers that the list is gone.
    accessible.Reset();
}

HWND PasswordListControl::TitleTipWindow() const
{
    return titleTip ? titleTip->Handle() : nullptr;
}

void PasswordListControl::OnSize()
{
    StopAnimation();
    HideTitleTip();
    if (editing) {
        SetFocus(Handle()); // ends the edit: the cell moves under the editor
    }
    ResetScrollBars();
}

void PasswordListControl::ChangeDpi(int requestedDpi)
{
    const int dpi = SaneDpi(requestedDpi);
    // A press, a band and an open editor were measured at the old scale.
    OnCancelMode();
    if (editing) {
        SetFocus(Handle());
    }
    const int before = look.dpi;
    if (!LoadLook(dpi)) {
        return; // without the new fonts and images nothing can be measured anew
    }
    // Columns keep their share of the list, as its frame grows with the dialog.
    for (int position = 0; position < model.GetColumnCount() && before != dpi; ++position) {
        model.SetColumnWidth(position, MulDiv(model.GetColumnWidth(position), dpi, before));
    }
    // Repaints all of the list too: the look it was last painted with is gone.
    ResetScrollBars();
}

LRESULT PasswordListControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const auto keys = static_cast<unsigned>(wParam);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        if (const HDC dc = BeginPaint(Handle(), &paint)) {
            Paint(dc, paint.rcPaint);
            EndPaint(Handle(), &paint);
        }
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        GetClientRect(Handle(), &client);
        Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_FONTCHANGE:
    case WM_THEMECHANGED:
        LoadViewSettings();
        ResetScrollBars();
        break;
    case WM_SIZE:
        OnSize();
        break;
    case WM_DPICHANGED:
        // Windows sends this to top-level windows only; whoever sent it to
        // the list, the window's own DPI is the one to follow.
        ChangeDpi(WindowDpi(Handle()));
        return 0;
    case WM_DPICHANGED_BEFOREPARENT:
        // The dialog is about to move and resize its controls.
        OnCancelMode();
        return 0;
    case WM_DPICHANGED_AFTERPARENT:
        ChangeDpi(WindowDpi(Handle()));
        return 0;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(point, keys);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(point, keys);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(point, keys);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(point, keys);
        return 0;
    case WM_RBUTTONDOWN:
        OnRButtonDown(point, keys);
        return 0;
    case WM_RBUTTONUP:
        OnRButtonUp(point);
        return 0;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return 0;
    case WM_MOUSEWHEEL:
        OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam), 0);
        return 0;
    case WM_HSCROLL:
        OnHScroll(LOWORD(wParam), 0);
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam));
        return 0;
    case WM_GETDLGCODE:
        // Tab belongs to the list only where it moves between cells; a list
        // of rows lets it go on to the next control, so the keyboard can
        // always leave it.
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (model.focusCellMode ? DLGC_WANTTAB : 0);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        OnFocusChange();
        break;
    case WM_CANCELMODE:
        OnCancelMode();
        break;
    case WM_SYSKEYDOWN:
        HideTitleTip();
        break;
    case WM_ENABLE:
        if (!wParam) {
            HideTitleTip(); // a list that takes no input shows no tip
        }
        break;
    case WM_NOTIFY:
        if (OnEditorNotify(lParam)) {
            return 0;
        }
        break;
    case WM_COMMAND:
        OnEditorCommand(wParam, lParam);
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != Handle() && buttonDown) {
            OnCancelMode();
        }
        break;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            POINT cursor{};
            GetCursorPos(&cursor);
            ScreenToClient(Handle(), &cursor);
            if (SetCursorFor(cursor)) {
                return TRUE;
            }
        }
        break;
    case WM_GETOBJECT: {
        LRESULT object = 0;
        if (OnGetObject(wParam, lParam, object)) {
            return object;
        }
        break;
    }
    case WM_DESTROY:
        OnDestroy();
        break;
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}

void PasswordListControl::OnTimer(UINT_PTR id)
{
    switch (id) {
    case kBringIntoViewTimer:
        KillTimer(Handle(), kBringIntoViewTimer);
        BringFocusIntoView();
        break;
    case kBandTimer:
        if (banding) {
            // The captured pointer may rest outside the list while the rows
            // scroll under it; it is where the last move left it.
            UpdateBand(bandPointer);
        } else {
            KillTimer(Handle(), kBandTimer);
        }
        break;
    case kResizeTimer:
        OnResizeTimer();
        break;
    case kAnimationTimer:
        OnAnimationFrame();
        break;
    case kScrollBarTimer:
        OnScrollBarTimer();
        break;
    default:
        break;
    }
}

void PasswordListControl::RepaintRow(int row)
{
    if (Handle() == nullptr) {
        return;
    }
    RECT rect = RowRect(row);
    RECT client{};
    GetClientRect(Handle(), &client);
    rect.left = client.left;
    rect.right = client.right;
    InvalidateRect(Handle(), &rect, FALSE);
}

std::intptr_t PasswordListControl::Notify(const ListEvent& event)
{
    if (Handle() == nullptr) {
        return 0;
    }
    SYSTEMTIME time = event.dateTime != nullptr ? ToSystemTime(*event.dateTime) : SYSTEMTIME{};
    ListNotify notify{};
    notify.header.hwndFrom = Handle();
    notify.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(Handle()));
    notify.header.code = static_cast<UINT>(event.code);
    notify.row = event.row;
    notify.column = event.column;
    notify.key = event.key;
    notify.text = const_cast<char*>(event.text);
    notify.dateTime = event.dateTime != nullptr ? &time : nullptr;
    return SendMessageA(GetParent(Handle()), WM_NOTIFY, notify.header.idFrom,
                        reinterpret_cast<LPARAM>(&notify));
}

int PasswordListControl::SystemImageWidth()
{
    int width = 0;
    int height = 0;
    if (!systemImages || !ImageList_GetIconSize(systemImages.get(), &width, &height)) {
        return 0;
    }
    return width;
}
