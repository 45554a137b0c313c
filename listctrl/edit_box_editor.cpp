// The edit box: a cell's text typed over, with the number rules of its flags.
#include "listctrl/cell_editors.h"
#include "listctrl/password_list_control.h"
#include "toolkit/module.h"

namespace {

constexpr int kEditBoxId = 1;

} // namespace

bool EditBoxEditor::Open(const std::string& text)
{
    font.reset(CreateMessageFont());
    if (!font) {
        return false;
    }
    const ListLook& look = list.Look();
    DWORD style = WS_CHILD | ES_AUTOHSCROLL;
    if (cell.flags & (FlagNumber | FlagDecimal)) {
        style |= ES_RIGHT;
    }
    if (cell.flags & FlagUpperCase) {
        style |= ES_UPPERCASE;
    }
    const RECT& rect = cell.rect;
    const int left = rect.left + look.Px(2);
    const int top = rect.top + look.Px(3);
    const int right = rect.right - look.Px(3);
    const int bottom = rect.bottom - look.Px(2);
    const HWND created = CreateWindowExA(
        0, "EDIT", text.c_str(), style, left, top, right - left, bottom - top, list.Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditBoxId)), module.Instance(), nullptr);
    if (!Adopt(created)) {
        return false;
    }
    SendMessageA(created, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                 MAKELPARAM(look.Px(5), look.Px(5)));
    SendMessageA(created, EM_SETSEL, 0, -1);
    SendMessageA(created, EM_SCROLLCARET, 0, 0);
    ShowWindow(created, SW_SHOW);
    SetFocus(created);
    return true;
}

bool EditBoxEditor::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_CHAR:
        result = 0;
        return FilterNumberCharacter(Control(), cell.flags, static_cast<char>(wParam));
    case WM_KILLFOCUS:
        result = DefaultProc(message, wParam, lParam);
        Finish(ControlText(), nullptr);
        return true;
    default:
        return false;
    }
}
