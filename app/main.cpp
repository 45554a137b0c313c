#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include "app/main_dialog.h"
#include "res/resource.h"
#include "toolkit/module.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // OLE, not only the component library: the list's header registers a
    // drop target for dragging its columns, which needs it.
    const HRESULT ole = OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    programModule.Init(instance);
    INT_PTR result = 0;
    {
        MainDialog dialog;
        result = dialog.DoModal(GetActiveWindow(), IDD_MAIN);
    }
    programModule.Term();
    if (SUCCEEDED(ole)) {
        OleUninitialize();
    }
    return static_cast<int>(result);
}
