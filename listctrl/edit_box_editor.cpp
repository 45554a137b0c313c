// The edit box: a cell's text typed over, with the number rules of its flags.
#include "listctrl/edit_box_editor.h"
#include "listctrl/list_window.h"

namespace {

constexpr int kEditBoxId = 1;

} // namespace

bool EditBoxEditor::Open(const std::string& text)
{
    font.reset(list.Look().MakeFont());
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
    const HWND created = CreateOverCell("EDIT", text.c_str(), style, kEditBoxId, 2, 3, 3, 2);
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
