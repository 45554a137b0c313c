// Reads the running program's password list from another process, as a
// screen reader does: one line per child, "row" or "title", a tab and its
// name. Rows are named by their cells in the order the list shows them.
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
    const HWND dialog = FindWindowA(nullptr, "Tavolin Sorvane");
    const HWND list = dialog != nullptr ? GetDlgItem(dialog, IDC_PASSWORD_LIST) : nullptr;
    if (list == nullptr || FAILED(CoInitialize(nullptr))) {
        return 1;
    }
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
