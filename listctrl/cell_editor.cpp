// What the in-place editors share: their window, the keys that end an edit,
// the notice to the list, and the number rules of an edit field.
#include "listctrl/cell_editor.h"
#include "listctrl/number_input.h"
#include "listctrl/list_window.h"
#include "toolkit/module.h"

namespace {

std::string TextOf(HWND edit)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

CellEditor::CellEditor(ListWindow& owner, const EditedCell& edited) : list(owner), cell(edited) {}

CellEditor::~CellEditor()
{
    // Destroying a focused editor takes its focus away; that ends no edit.
    open = false;
    control.reset();
}

HWND CellEditor::CreateOverCell(const char* windowClass, const char* text, DWORD style, int id,
                                int left, int top, int right, int bottom) const
{
    const ListLook& look = list.Look();
    const RECT& rect = cell.rect;
    const int x = rect.left + look.Px(left);
    const int y = rect.top + look.Px(top);
    return CreateWindowExA(0, windowClass, text, style, x, y, rect.right - look.Px(right) - x,
                           rect.bottom - look.Px(bottom) - y, list.Handle(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           programModule.Instance(), nullptr);
}

bool CellEditor::Adopt(HWND created)
{
    if (created == nullptr) {
        return false;
    }
    control.reset(created);
    if (!Subclass(created)) {
        control.reset();
        return false;
    }
    SendMessageA(created, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    open = true;
    return true;
}

bool IsEndingCharacter(WPARAM character)
{
    // The same numbers as the keys' codes: VK_TAB, VK_RETURN, VK_ESCAPE.
    return character == '\t' || character == '\r' || character == 0x1B;
}

bool CellEditor::EndByKey(UINT key)
{
    if (!IsEndingCharacter(key)) {
        return false;
    }
    if (open) {
        endKey = static_cast<BYTE>(key);
        // Losing the focus ends the edit, whatever took it.
        SetFocus(list.Handle());
    }
    return true;
}

void CellEditor::Finish(const std::string& text, const SYSTEMTIME* dateTime)
{
    if (!open) {
        return;
    }
    open = false;
    std::string edited = text;
    SYSTEMTIME picked = dateTime != nullptr ? *dateTime : SYSTEMTIME{};
    ListNotify notice{};
    notice.header.hwndFrom = control.get();
    notice.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control.get()));
    notice.header.code = static_cast<UINT>(NotifyEndEdit);
    notice.row = cell.row;
    notice.column = cell.position;
    notice.key = endKey;
    notice.text = edited.data();
    notice.dateTime = dateTime != nullptr ? &picked : nullptr;
    ShowWindow(control.get(), SW_HIDE);
    // Last: the list, or its parent hearing of the change, may open the next
    // editor and so destroy this one.
    SendMessageA(list.Handle(), WM_NOTIFY, notice.header.idFrom, reinterpret_cast<LPARAM>(&notice));
}

std::string CellEditor::ControlText() const
{
    return TextOf(control.get());
}

bool CellEditor::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT CellEditor::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCDESTROY:
        open = false;
        if (control.get() == Handle()) {
            control.release();
        }
        break;
    case WM_GETDLGCODE:
        // Tab, Enter and Escape end the edit instead of moving about a dialog.
        return DefaultProc(message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
    case WM_CHAR:
        // The character that follows an ending key finds the edit over; it
        // must not reach the control either.
        if (IsEndingCharacter(wParam)) {
            EndByKey(static_cast<UINT>(wParam));
            return 0;
        }
        break;
    default:
        break;
    }
    LRESULT result = 0;
    if (open && HandleMessage(message, wParam, lParam, result)) {
        return result;
    }
    return DefaultProc(message, wParam, lParam);
}

bool FilterNumberCharacter(HWND edit, std::uint32_t flags, char typed)
{
    if (!(flags & (FlagNumber | FlagDecimal)) || typed == '\b') {
        return false;
    }
    const std::string text = TextOf(edit);
    DWORD first = 0;
    DWORD last = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&first),
                 reinterpret_cast<LPARAM>(&last));
    if (typed == '-' && (flags & FlagNegative)) {
        const SignFlip flip = FlipSign(text);
        if (flip.shift != 0) {
            SetWindowTextA(edit, flip.text.c_str());
            SendMessageA(edit, EM_SETSEL, flip.Follow(first), flip.Follow(last));
        }
        return true;
    }
    return !AcceptsNumberKey(text, first, last, typed, flags);
}
