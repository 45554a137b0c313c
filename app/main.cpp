#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/main_dialog.h"
#include "res/resource.h"
#include "toolkit/module.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    module.Init(instance);
    INT_PTR result = 0;
    {
        MainDialog dialog;
        result = dialog.DoModal(GetActiveWindow(), IDD_MAIN);
    }
    module.Term();
    CoUninitialize();
    return static_cast<int>(result);
}
