// The drop-down editor: a combo box of the cell's choices, painted on the
// cell's own background with the visual style's drop-down button.
#include <windowsx.h>

#include <vsstyle.h>

#include "listctrl/combo_editor.h"
#include "listctrl/list_window.h"
#include "toolkit/double_buffer.h"
#include "toolkit/module.h"

namespace {

constexpr int kComboId = 2;
// The box with its drop-down list, in cell heights.
constexpr int kHeightInCells = 7;

std::string ItemText(HWND combo, LRESULT item)
{
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0);
    if (item < 0 || length < 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(item),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

bool Inside(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

} // namespace

ComboEditor::ComboEditor(ListWindow& owner, const EditedCell& edited)
    : CellEditor(owner, edited), field(*this)
{
}

bool ComboEditor::Open(const std::string& text, const std::vector<std::string>& choices)
{
    font.reset(list.Look().MakeFont());
    if (!font) {
        return false;
    }
    const ListLook& look = list.Look();
    DWORD style = WS_CHILD | WS_VSCROLL | CBS_SORT | CBS_AUTOHSCROLL;
    style |= Editable() ? CBS_DROPDOWN : CBS_DROPDOWNLIST;
    if (cell.flags & FlagUpperCase) {
        style |= CBS_UPPERCASE;
    }
    const RECT& rect = cell.rect;
    const int left = rect.left + look.Px(Editable() ? 1 : 3);
    const int height = (rect.bottom - rect.top) * kHeightInCells;
    if (!Adopt(CreateWindowExA(0, "COMBOBOX", "", style, left, rect.top, rect.right - left, height,
                               list.Handle(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kComboId)),
                               programModule.Instance(), nullptr))) {
        return false;
    }
    original = text;
    swappedButtons = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    highlight = GetSysColor(COLOR_HIGHLIGHT);
    highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    theme.reset(VisualStyles::Open(Control(), L"COMBOBOX"));
    themed = list.Options().themedLook && theme;
    Fill(choices);
    SendMessageA(Control(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                 rect.bottom - rect.top - look.Px(6));
    TakeRectangles();
    ShowWindow(Control(), SW_SHOW);
    SetFocus(Control());
    RedrawWindow(Control(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return true;
}

void ComboEditor::Fill(const std::vector<std::string>& choices)
{
    for (const std::string& choice : choices) {
        SendMessageA(Control(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
    }
    if (Editable()) {
        SetWindowTextA(Control(), original.c_str());
        SendMessageA(Control(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        return;
    }
    // Exactly the cell's text: the box's own search ignores case.
    const LRESULT count = SendMessageA(Control(), CB_GETCOUNT, 0, 0);
    for (LRESULT item = 0; item < count; ++item) {
        if (ItemText(Control(), item) == original) {
            SendMessageA(Control(), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
            break;
        }
    }
}

void ComboEditor::TakeRectangles()
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(Control(), &info)) {
        return;
    }
    const ListLook& look = list.Look();
    itemRect = info.rcItem;
    buttonRect = info.rcButton;
    OffsetRect(&buttonRect, -look.Px(2), 0);
    buttonRect.top += look.Px(1);
    buttonRect.bottom -= look.Px(1);
    if (Editable() && info.hwndItem != nullptr && field.Subclass(info.hwndItem)) {
        fieldWindow = info.hwndItem;
    }
}

void ComboEditor::OnFocusLost()
{
    if (!open) {
        return;
    }
    if (Editable()) {
        Finish(ControlText(), nullptr);
        return;
    }
    // Nothing chosen is no choice of an empty text: the cell keeps its own.
    const LRESULT chosen = SendMessageA(Control(), CB_GETCURSEL, 0, 0);
    Finish(chosen >= 0 ? ItemText(Control(), chosen) : original, nullptr);
}

bool ComboEditor::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_PAINT: {
        const PaintDc dc(Control());
        if (dc.get() != nullptr) {
            Paint(dc.get(), dc.Area());
        }
        result = 0;
        return true;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        GetClientRect(Control(), &client);
        Paint(reinterpret_cast<HDC>(wParam), client);
        result = 0;
        return true;
    }
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_MOUSEMOVE:
        TrackHot(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return false;
    case WM_MOUSELEAVE:
        hot = false;
        InvalidateRect(Control(), &buttonRect, FALSE);
        return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case CB_SETCURSEL:
    case CB_SHOWDROPDOWN:
        // The box draws some changes straight onto the screen in its own
        // look; the next paint puts this one back.
        result = DefaultProc(message, wParam, lParam);
        InvalidateRect(Control(), nullptr, FALSE);
        return true;
    default:
        return false;
    }
}

void ComboEditor::TrackHot(POINT point)
{
    const bool over = PtInRect(&buttonRect, point) != FALSE;
    if (over == hot) {
        return;
    }
    hot = over;
    if (hot) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Control(), 0};
        _TrackMouseEvent(&track);
    }
    InvalidateRect(Control(), &buttonRect, FALSE);
}

bool ComboEditor::PrimaryButtonDown() const
{
    // The physical button that the user's setting makes the primary one.
    return GetAsyncKeyState(swappedButtons ? VK_RBUTTON : VK_LBUTTON) < 0;
}

void ComboEditor::Paint(HDC dc, const RECT& area)
{
    RECT client{};
    GetClientRect(Control(), &client);
    const int saved = SaveDC(dc);
    if (fieldWindow != nullptr) {
        // The edit field paints itself.
        RECT fieldRect{};
        GetWindowRect(fieldWindow, &fieldRect);
        MapWindowPoints(nullptr, Control(), reinterpret_cast<POINT*>(&fieldRect), 2);
        ExcludeClipRect(dc, fieldRect.left, fieldRect.top, fieldRect.right, fieldRect.bottom);
    }
    PaintDoubleBuffered(dc, client, [&](HDC target) { PaintBox(target, client, area); });
    RestoreDC(dc, saved);
}

void ComboEditor::PaintBox(HDC dc, const RECT& client, const RECT& area)
{
    if (Inside(buttonRect, area)) {
        FillSolid(dc, buttonRect, list.Look().colors.back);
    } else {
        // The box sits on its cell as the list paints it.
        POINT origin{};
        MapWindowPoints(Control(), list.Handle(), &origin, 1);
        OffsetWindowOrgEx(dc, origin.x, origin.y, nullptr);
        const ListPaintState state = list.PaintState();
        ListPainter(state).PaintContent(
            dc, RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom});
        OffsetWindowOrgEx(dc, -origin.x, -origin.y, nullptr);
        if (!Editable()) {
            PaintChosenItem(dc);
        }
    }
    PaintButton(dc);
}

void ComboEditor::PaintChosenItem(HDC dc)
{
    FillSolid(dc, itemRect, highlight);
    const std::string chosen = ItemText(Control(), SendMessageA(Control(), CB_GETCURSEL, 0, 0));
    RECT text = itemRect;
    InflateRect(&text, -1, -1);
    const SelectGuard selectFont(dc, font.get());
    SetTextColor(dc, highlightText);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, chosen.c_str(), static_cast<int>(chosen.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void ComboEditor::PaintButton(HDC dc)
{
    POINT pointer{};
    GetCursorPos(&pointer);
    ScreenToClient(Control(), &pointer);
    RECT client{};
    GetClientRect(Control(), &client);
    const bool pressed =
        PrimaryButtonDown() && PtInRect(Editable() ? &buttonRect : &client, pointer) != FALSE;
    if (themed) {
        const int state = pressed ? CBXS_PRESSED : hot ? CBXS_HOT : CBXS_NORMAL;
        VisualStyles::DrawBackground(theme.get(), dc, CP_DROPDOWNBUTTON, state, buttonRect);
        return;
    }
    RECT button = buttonRect;
    DrawFrameControl(dc, &button, DFC_SCROLL,
                     DFCS_SCROLLCOMBOBOX | DFCS_FLAT | (pressed ? DFCS_PUSHED : 0));
}

LRESULT ComboEditor::Field::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return DefaultProc(message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
    case WM_CHAR:
        if (IsEndingCharacter(wParam)) {
            combo.EndByKey(static_cast<UINT>(wParam));
            return 0;
        }
        if (message == WM_CHAR && combo.open &&
            FilterNumberCharacter(Handle(), combo.cell.flags, static_cast<char>(wParam))) {
            return 0;
        }
        break;
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}
