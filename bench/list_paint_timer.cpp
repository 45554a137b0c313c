// Times one full paint of the password list, 300 rows, into a memory
// context, in the themed and in the classic look. A plain timer, run under
// Wine (or on Windows); it needs a display.
//
//   list_paint_timer [PAINTS]
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "listctrl/password_list_control.h"
#include "res/resource.h"
#include "toolkit/module.h"

namespace {

using Clock = std::chrono::steady_clock;

// The shape of the dialog's list after a batch: 300 rows, the last selected.
void Fill(ListModel& model)
{
    model.AddColumn("Password", 100, -1, false, FormatText, 0);
    model.AddColumn("Entropy", 55, -1, false, FormatText, 0);
    model.AddColumn("Phonetics", 200, -1, false, FormatText, 0);
    for (int i = 0; i < 300; ++i) {
        const int row = model.AddItem("Kp3xVr7Tz" + std::to_string(i % 10), 0, FormatText, 0);
        model.SetItemText(row, 1, "57 bit");
        model.SetItemText(row, 2, "KEY - pen - three - xmas - VOW - rat - seven - TIA - zen");
    }
    model.SelectItem(299, -1, 0);
}

double MicrosecondsPerPaint(HWND window, int paints)
{
    RECT client{};
    GetClientRect(window, &client);
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    std::vector<double> times;
    for (int i = 0; i < paints; ++i) {
        const Clock::time_point start = Clock::now();
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        GdiFlush();
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const int paints = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    programModule.Init(GetModuleHandleA(nullptr));
    PasswordListControl::RegisterWindowClass(programModule.Instance());
    // The dialog's list is 353 by 160 pixels at 96 DPI.
    const HWND window =
        CreateWindowExA(0, PasswordListControl::kClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 353,
                        160, nullptr, nullptr, programModule.Instance(), nullptr);
    PasswordListControl list;
    if (window == nullptr || !list.Subclass(window) || !list.Setup()) {
        std::fprintf(stderr, "the list could not be made\n");
        return 1;
    }
    const HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    const HICON icon = static_cast<HICON>(
        LoadImageA(programModule.Instance(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 16, 16, 0));
    ImageList_AddIcon(images, icon);
    DestroyIcon(icon);
    list.SetImageList(images);
    Fill(list.Model());
    for (const bool themed : {true, false}) {
        list.options.themedLook = themed;
        if (themed && !list.Themed()) {
            std::printf("themed: no visual styles here\n");
            continue;
        }
        std::printf("%s: %.0f us per full paint of the list (median of %d)\n",
                    themed ? "themed" : "classic", MicrosecondsPerPaint(window, paints), paints);
    }
    DestroyWindow(window);
    ImageList_Destroy(images);
    programModule.Term();
    return 0;
}
