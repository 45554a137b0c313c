// Reads the running program from another process, one line per fact, a name,
// a tab and its value:
//   clipboard  the clipboard's text as Windows programs see it
//   status     the status line
//   generate   "enabled" or "disabled", as "Generate!" is
//   focus      the caption of the active window of the dialog's thread, a tab
//              and the id of the control that has the keyboard focus
//   row/title  each child of the list as a screen reader reads it: rows named
//              by their cells in the order the list shows them, then titles
// Exits 1 when there is no program window or its list answers nothing.
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>

#include "res/resource.h"

namespace {

std::string Narrow(BSTR text)
{
    const int length = static_cast<int>(SysStringLen(text));
    std::string narrow(static_cast<std::size_t>(length) * 4, '\0');
    narrow.resize(static_cast<std::size_t>(WideCharToMultiByte(
        CP_UTF8, 0, text, length, narrow.data(), length * 4, nullptr, nullptr)));
    return narrow;
}

// Asked of the window itself: GetWindowText does not ask another process's
// window, and an edit control's text is known only to the control.
std::string WindowText(HWND window)
{
    char text[512] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// The clipboard as Wine has taken it over from X, not as X offers it: a
// marker set from outside counts only once Wine has it.
void PrintClipboard()
{
    if (!OpenClipboard(nullptr)) {
        return;
    }
    if (const HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* text = static_cast<const char*>(GlobalLock(data))) {
            std::printf("clipboard\t%s\n", text);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
}

void PrintDialogState(HWND dialog)
{
    std::printf("status\t%s\n", WindowText(GetDlgItem(dialog, IDC_STATUS)).c_str());
    std::printf("generate\t%s\n",
                IsWindowEnabled(GetDlgItem(dialog, IDC_GENERATE)) ? "enabled" : "disabled");
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread) &&
        thread.hwndActive != nullptr && thread.hwndFocus != nullptr) {
        std::printf("focus\t%s\t%d\n", WindowText(thread.hwndActive).c_str(),
                    GetDlgCtrlID(thread.hwndFocus));
    }
}

int PrintChildren(IAccessible* list)
{
    long count = 0;
    if (FAILED(list->get_accChildCount(&count)) || count == 0) {
        return 1;
    }
    for (long id = 1; id <= count; ++id) {
        VARIANT child{};
        V_VT(&child) = VT_I4;
        V_I4(&child) = id;
        VARIANT role{};
        BSTR name = nullptr;
        list->get_accRole(child, &role);
        list->get_accName(child, &name);
        const bool row = V_VT(&role) == VT_I4 && V_I4(&role) == ROLE_SYSTEM_LISTITEM;
        std::printf("%s\t%s\n", row ? "row" : "title", Narrow(name).c_str());
        SysFreeString(name);
    }
    return 0;
}

} // namespace

int main()
{
    PrintClipboard();
    const HWND dialog = FindWindowA(nullptr, "Tavolin Sorvane");
    const HWND list = dialog != nullptr ? GetDlgItem(dialog, IDC_PASSWORD_LIST) : nullptr;
    if (list == nullptr || FAILED(CoInitialize(nullptr))) {
        return 1;
    }
    PrintDialogState(dialog);
    IAccessible* object = nullptr;
    int status = 1;
    // Spelled out: mingw-w64's IID_IAccessible is an import thunk, not the id.
    if (SUCCEEDED(AccessibleObjectFromWindow(list, OBJID_CLIENT, __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&object)))) {
        status = PrintChildren(object);
        object->Release();
    }
    CoUninitialize();
    return status;
}
