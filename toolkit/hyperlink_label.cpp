#include "toolkit/hyperlink_label.h"

#include <windowsx.h>

#include <commctrl.h>
#include <shellapi.h>

#include <climits>
#include <cstdlib>
#include <new>
#include <string>

#include "toolkit/dpi.h"
#include "toolkit/module.h"

namespace {

constexpr char kBrowserSettings[] = "Software\\Microsoft\\Internet Explorer\\Settings";

std::unique_ptr<char[]> CopyText(std::string_view source)
{
    std::unique_ptr<char[]> copy(new (std::nothrow) char[source.size() + 1]);
    if (copy) {
        source.copy(copy.get(), source.size());
        copy[source.size()] = '\0';
    }
    return copy;
}

// Leading blanks, a sign and digits, as the runtime library reads a number;
// a number too large for an int ends at its limit.
int DecimalValue(const char* text)
{
    const long value = std::strtol(text, nullptr, 10);
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

// A colour value is short text: at most eleven characters and its end.
std::optional<COLORREF> ReadColorValue(HKEY key, const char* name)
{
    char value[12] = {};
    DWORD type = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0 || value[size - 1] != '\0') {
        return std::nullopt;
    }
    return ParseColorTriple(value);
}

} // namespace

std::optional<COLORREF> ParseColorTriple(std::string_view text)
{
    // A copy to cut at each comma; the numbers end where the text does.
    std::string copy(text.substr(0, text.find('\0')));
    char* position = copy.data();
    int numbers[3] = {};
    for (int i = 0; i < 2; ++i) {
        char* comma = position;
        while (*comma != '\0' && *comma != ',') {
            comma = CharNextA(comma);
        }
        if (*comma != ',') {
            return std::nullopt;
        }
        *comma = '\0';
        numbers[i] = DecimalValue(position);
        if (numbers[i] == -1) {
            return std::nullopt;
        }
        position = comma + 1;
    }
    if (*position == '\0') {
        return std::nullopt;
    }
    numbers[2] = DecimalValue(position);
    return RGB(numbers[0] & 0xFF, numbers[1] & 0xFF, numbers[2] & 0xFF);
}

HyperLinkLabel::~HyperLinkLabel()
{
    // No message may reach the object while its members go.
    Unsubclass();
}

void HyperLinkLabel::Attach()
{
    const HWND hwnd = Handle();
    if (hwnd == nullptr) {
        return;
    }
    AdoptStatic();
    cursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)); // IDC_HAND
    if (paintsText) {
        normalFont = reinterpret_cast<HFONT>(SendMessageA(GetParent(hwnd), WM_GETFONT, 0, 0));
        if (normalFont == nullptr) {
            normalFont = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        }
        CreateLinkFont();
    }
    tooltip.reset(CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr,
                                  programModule.Instance(), nullptr));
    if (text == nullptr) {
        std::string windowText(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
        windowText.resize(static_cast<std::size_t>(
            GetWindowTextA(hwnd, windowText.data(), static_cast<int>(windowText.size()))));
        if (!windowText.empty()) {
            SetLinkText(windowText);
        }
    }
    UpdateLinkRect();
    if (target != nullptr || Has(CommandMode)) {
        if (tooltip) {
            SendMessageA(tooltip.get(), TTM_ACTIVATE, TRUE, 0);
            AddTool();
        }
    } else if (text != nullptr) {
        SetTarget(text.get());
    }
    if (paintsText) {
        ReadBrowserColors();
    }
}

void HyperLinkLabel::AdoptStatic()
{
    char className[8] = {};
    GetClassNameA(Handle(), className, sizeof className);
    if (lstrcmpiA(className, "static") != 0) {
        return;
    }
    // Without SS_NOTIFY a static lets the mouse through to its parent.
    const LONG_PTR windowStyle = GetWindowLongPtrA(Handle(), GWL_STYLE);
    if ((windowStyle & SS_NOTIFY) == 0) {
        SetWindowLongPtrA(Handle(), GWL_STYLE, windowStyle | SS_NOTIFY);
    }
    // Pictures, frames and owner-drawn statics keep their own painting.
    const LONG_PTR kind = windowStyle & SS_TYPEMASK;
    if ((kind >= SS_ICON && kind <= SS_WHITEFRAME) ||
        (kind >= SS_OWNERDRAW && kind <= SS_ENHMETAFILE)) {
        paintsText = false;
    }
}

void HyperLinkLabel::CreateLinkFont()
{
    LOGFONTA description{};
    if (normalFont == nullptr || linkFont ||
        GetObjectA(normalFont, sizeof description, &description) == 0) {
        return;
    }
    if (Has(AnchorTagsBold)) {
        description.lfWeight = FW_BOLD;
    } else if (!Has(NoUnderline)) {
        description.lfUnderline = TRUE;
    }
    linkFont.reset(CreateFontIndirectA(&description));
}

void HyperLinkLabel::ReadBrowserColors()
{
    // Read only: the browser's settings are not ours to change.
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kBrowserSettings, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return;
    }
    const UniqueKey key(opened);
    if (const auto color = ReadColorValue(key.get(), "Anchor Color")) {
        linkColor = *color;
    }
    if (const auto color = ReadColorValue(key.get(), "Anchor Color Visited")) {
        visitedColor = *color;
    }
}

bool HyperLinkLabel::SetLinkText(std::string_view newText)
{
    // Copied before the old text goes, which newText may point into.
    text = CopyText(newText);
    if (text == nullptr) {
        return false;
    }
    UpdateLinkRect();
    if (Handle() != nullptr) {
        SetWindowTextA(Handle(), text.get());
        // The static paints its plain text at once on a new text.
        InvalidateRect(Handle(), nullptr, TRUE);
    }
    return true;
}

bool HyperLinkLabel::SetTarget(std::string_view newTarget)
{
    target = CopyText(newTarget);
    if (target == nullptr) {
        return false;
    }
    if (text == nullptr) {
        UpdateLinkRect();
    }
    if (tooltip) {
        SendMessageA(tooltip.get(), TTM_ACTIVATE, TRUE, 0);
        AddTool();
    }
    return true;
}

void HyperLinkLabel::AddTool()
{
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = Handle();
    tool.uId = kToolId;
    tool.rect = linkRect;
    tool.hinst = programModule.Instance();
    tool.lpszText = target.get();
    // Replaces the tool of an earlier target instead of adding a second one.
    SendMessageA(tooltip.get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tooltip.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

const char* HyperLinkLabel::ShownText() const
{
    return text != nullptr ? text.get() : target.get();
}
bool HyperLinkLabel::Activate()
{
    const HWND hwnd = Handle();
    const HWND parent = GetParent(hwnd);
    const int id = GetDlgCtrlID(hwnd);
    if (Has(NotifyMode)) {
        NMHDR header{hwnd, static_cast<UINT_PTR>(id), static_cast<UINT>(NM_CLICK)};
        activationPending = true;
        SendMessageA(parent, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&header));
        activationPending = false;
        return true;
    }
    if (!Has(CommandMode)) {
        if (target == nullptr) {
            return false;
        }
        const auto opened = reinterpret_cast<INT_PTR>(
            ShellExecuteA(nullptr, "open", target.get(), nullptr, nullptr, SW_SHOWNORMAL));
        if (opened <= 32) {
            return false;
        }
        visited = true;
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
        InvalidateRect(hwnd, nullptr, TRUE);
        return true;
    }
    activationPending = true;
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(hwnd));
    activationPending = false;
    return true;
}

bool HyperLinkLabel::IsInLink(LPARAM pointInClient) const
{
    const POINT point{GET_X_LPARAM(pointInClient), GET_Y_LPARAM(pointInClient)};
    return PtInRect(&linkRect, point) != FALSE;
}
void HyperLinkLabel::SetHovering(bool hover)
{
    hovering = hover;
    InvalidateRect(Handle(), &linkRect, TRUE);
    UpdateWindow(Handle());
}

void HyperLinkLabel::RelayToTooltip(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (tooltip && !Has(NoTooltip)) {
        MSG relayed{Handle(), message, wParam, lParam, 0, {}};
        SendMessageA(tooltip.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
}
bool HyperLinkLabel::HandleMouse(UINT message, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_MOUSEMOVE:
        if (IsActive() && IsInLink(lParam)) {
            SetCursor(cursor);
            if (Has(HoverUnderline) && !hovering) {
                SetHovering(true);
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
                _TrackMouseEvent(&track);
            }
            return true;
        }
        if (Has(HoverUnderline) && hovering) {
            SetHovering(false);
        }
        return false;
    case WM_LBUTTONDOWN:
        if (IsInLink(lParam)) {
            SetFocus(Handle());
            SetCapture(Handle());
        }
        return true;
    case WM_LBUTTONUP:
        if (GetCapture() == Handle()) {
            ReleaseCapture();
            if (IsInLink(lParam)) {
                Activate();
            }
        }
        return true;
    case WM_LBUTTONDBLCLK:
        // The static would report the double-click to the parent as a
        // command carrying the link's identifier, and the parent would take
        // it for the link's own command: the second press does nothing.
        return true;
    default:
        return false;
    }
}

bool HyperLinkLabel::HandleState(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_SIZE:
        UpdateLinkRect();
        InvalidateRect(Handle(), nullptr, TRUE);
        return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (!paintsText) {
            return false;
        }
        InvalidateRect(Handle(), nullptr, TRUE);
        return true;
    case WM_ENABLE:
        // Also keeps the static from telling the parent, as a command with
        // the link's identifier, that it was switched on or off.
        InvalidateRect(Handle(), nullptr, TRUE);
        UpdateWindow(Handle());
        return true;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        // The static reports these to the parent as commands as well.
        return true;
    case WM_ERASEBKGND:
        if (!paintsText) {
            return false;
        }
        result = 1;
        return true;
    case WM_MOUSELEAVE:
        if (Has(HoverUnderline) && hovering) {
            SetHovering(false);
        }
        return true;
    default:
        return HandleInput(message, wParam, lParam, result);
    }
}

bool HyperLinkLabel::HandleInput(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_SETCURSOR:
        return OnSetCursor(result);
    case WM_SETFONT:
        // The dialog sends its new font when the screen's scale changes: the
        // link's own font and its rectangle follow it.
        normalFont = reinterpret_cast<HFONT>(wParam);
        if (paintsText) {
            linkFont.reset();
            CreateLinkFont();
            UpdateLinkRect();
        }
        if (lParam != 0) {
            InvalidateRect(Handle(), nullptr, TRUE);
            UpdateWindow(Handle());
        }
        return true;
    case WM_GETFONT:
        result = reinterpret_cast<LRESULT>(normalFont);
        return true;
    case WM_GETDLGCODE:
        result = OnGetDlgCode(reinterpret_cast<const MSG*>(lParam));
        return true;
    case WM_CHAR:
        if (wParam != VK_RETURN && wParam != VK_SPACE) {
            return false;
        }
        Activate();
        return true;
    case WM_UPDATEUISTATE:
        return true;
    case WM_DPICHANGED_AFTERPARENT:
        UpdateLinkRect();
        InvalidateRect(Handle(), nullptr, TRUE);
        return true;
    case WM_SYSCOLORCHANGE:
        // A disabled link is drawn in the system's grey, read at each paint.
        InvalidateRect(Handle(), nullptr, TRUE);
        return false;
    default:
        return false;
    }
}

bool HyperLinkLabel::OnSetCursor(LRESULT& result)
{
    POINT point{};
    if (!IsActive() || !GetCursorPos(&point) || !ScreenToClient(Handle(), &point) ||
        !PtInRect(&linkRect, point)) {
        return false;
    }
    SetCursor(cursor);
    result = TRUE;
    return true;
}

// LRESULT OnGetDlgCode(const MSG* message)
LRESULT HyperLinkLabel::OnGetDlgCode(const MSG* message) const
{
    // The dialog manager turns Enter into the default button's command
    // unless the control asks for the key; a focused link is what the user
    // means to activate, and Space and Enter arrive as characters.
    const bool enter =
        message != nullptr && message->message == WM_KEYDOWN && message->wParam == VK_RETURN;
    return DLGC_WANTCHARS | (enter && IsActive() ? DLGC_WANTMESSAGE : 0);
}

LRESULT HyperLinkLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (message >= WM_MOUSEFIRST && message <= WM_XBUTTONDBLCLK) {
        RelayToTooltip(message, wParam, lParam);
        if (HandleMouse(message, lParam, result)) {
            return result;
        }
        return DefaultProc(message, wParam, lParam);
    }
    switch (message) {
    case WM_DESTROY:
        tooltip.reset();
        accessible.Reset(); // a screen reader's object outlives the window
        break;
    case WM_GETOBJECT:
        if (IsClientObjectRequest(lParam) && AnswerObjectRequest(Accessible(), wParam, result)) {
            return result;
        }
        break;
    case WM_PAINT:
    case WM_PRINTCLIENT:
        if (!paintsText) {
            break;
        }
        if (wParam != 0) {
            Paint(reinterpret_cast<HDC>(wParam));
        } else {
            const PaintDc dc(Handle());
            if (dc.get() != nullptr) {
                Paint(dc.get());
            }
        }
        return 0;
    default:
        if (HandleState(message, wParam, lParam, result)) {
            return result;
        }
        break;
    }
    return DefaultProc(message, wParam, lParam);
}
