// What the list window's tests share: a parent that records the list's
// notices, a list with the password columns on it, and pictures of paints.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <ole2.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "listctrl/password_list_control.h"
#include "res/resource.h"
#include "toolkit/module.h"

namespace list_window_test {

inline std::vector<int> heard; // notification codes the parent received
// The row and column of each, as {code, row, column}.
inline std::vector<std::vector<int>> notices;

inline LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        const auto* notice = reinterpret_cast<const ListNotify*>(lParam);
        heard.push_back(static_cast<int>(notice->header.code));
        notices.push_back({static_cast<int>(notice->header.code), notice->row, notice->column});
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class ListEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        OleInitialize(nullptr);
        programModule.Init(GetModuleHandleA(nullptr));
        PasswordListControl::RegisterWindowClass(programModule.Instance());
        WNDCLASSA parent{};
        parent.lpfnWndProc = ParentProc;
        parent.hInstance = programModule.Instance();
        parent.lpszClassName = "SorvaneListTestParent";
        RegisterClassA(&parent);
    }
    void TearDown() override
    {
        programModule.Term();
        OleUninitialize();
    }
};

// A 32-bit top-down bitmap selected into a memory context.
class Canvas {
public:
    Canvas(int canvasWidth, int canvasHeight) : width(canvasWidth), height(canvasHeight)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous = SelectObject(dc, bitmap);
        pixels = static_cast<const std::uint32_t*>(bits);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC Dc() const { return dc; }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const std::uint32_t bgr = pixels[y * width + x];
        return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }
    // Whether any pixel of the rectangle differs from the colour.
    bool AnyBut(COLORREF color, int left, int top, int right, int bottom) const
    {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                if (At(x, y) != color) {
                    return true;
                }
            }
        }
        return false;
    }
    bool Any(COLORREF color, int left, int top, int right, int bottom) const
    {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                if (At(x, y) == color) {
                    return true;
                }
            }
        }
        return false;
    }

    const int width;
    const int height;

private:
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    const std::uint32_t* pixels = nullptr;
};

inline RECT ClientOf(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return client;
}

// The list's client area as painted through WM_PRINTCLIENT.
class Picture : public Canvas {
public:
    explicit Picture(HWND window) : Canvas(ClientOf(window).right, ClientOf(window).bottom)
    {
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Dc()), PRF_CLIENT);
    }
};

inline bool Between(COLORREF color, COLORREF a, COLORREF b)
{
    const auto within = [](int value, int x, int y) {
        return value >= std::min(x, y) - 2 && value <= std::max(x, y) + 2;
    };
    return within(GetRValue(color), GetRValue(a), GetRValue(b)) &&
           within(GetGValue(color), GetGValue(a), GetGValue(b)) &&
           within(GetBValue(color), GetBValue(a), GetBValue(b));
}

class ListWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        heard.clear();
        notices.clear();
        parent = CreateWindowExA(0, "SorvaneListTestParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 420,
                                 320, nullptr, nullptr, programModule.Instance(), nullptr);
        window = CreateWindowExA(0, PasswordListControl::kClassName, "", WS_CHILD | WS_VISIBLE, 10,
                                 10, 400, 300, parent, reinterpret_cast<HMENU>(1026),
                                 programModule.Instance(), nullptr);
        ASSERT_TRUE(list.Subclass(window));
        ASSERT_TRUE(list.Setup());
        images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
        const HICON icon = static_cast<HICON>(
            LoadImageA(programModule.Instance(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 16, 16, 0));
        ImageList_AddIcon(images, icon);
        DestroyIcon(icon);
        list.SetImageList(images);
        model().AddColumn("Password", 100, -1, false, FormatText, 0);
        model().AddColumn("Entropy", 55, -1, false, FormatText, 0);
        model().AddColumn("Phonetics", 200, -1, false, FormatText, 0);
    }
    void TearDown() override
    {
        DestroyWindow(parent);
        ImageList_Destroy(images);
    }

    ListModel& model() { return list.Model(); }
    int RowY(int row) const
    {
        return list.Look().headerHeight + row * list.Look().rowHeight + list.Look().rowHeight / 2;
    }
    void AddRows(const std::vector<std::string>& passwords, const char* entropy = "57 bit")
    {
        for (const auto& password : passwords) {
            const int row = model().AddItem(password, 0, FormatText, 0);
            model().SetItemText(row, 1, entropy);
        }
    }
    std::vector<int> Selected() const
    {
        std::vector<int> rows;
        list.Model().GetSelectedItems(rows);
        return rows;
    }
    void Mouse(UINT message, int x, int y, unsigned keys = 0)
    {
        SendMessageA(window, message, keys, MAKELPARAM(x, y));
    }
    void Click(int x, int y, unsigned keys = 0)
    {
        Mouse(WM_LBUTTONDOWN, x, y, keys | MK_LBUTTON);
        Mouse(WM_LBUTTONUP, x, y, keys);
    }
    // A key with Ctrl or Shift held as the keyboard state says.
    void Key(UINT key, bool ctrl = false, bool shift = false)
    {
        BYTE state[256] = {};
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state);
        SendMessageA(window, WM_KEYDOWN, key, 0);
        BYTE none[256] = {};
        SetKeyboardState(none);
    }
    // Runs what the windows posted to themselves.
    static void Pump()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    static std::string TextOf(HWND control)
    {
        char text[256] = {};
        GetWindowTextA(control, text, sizeof text);
        return text;
    }
    static std::string ClassOf(HWND control)
    {
        char name[64] = {};
        GetClassNameA(control, name, sizeof name);
        return name;
    }
    // A window's rectangle in the list's client coordinates.
    RECT InList(HWND control) const
    {
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    // Clicks the cell and answers the editor that took the focus.
    HWND OpenEditor(int x, int row, const char* className)
    {
        Click(x, RowY(row));
        const HWND editor = GetFocus();
        EXPECT_EQ(ClassOf(editor), className);
        EXPECT_TRUE(IsChild(window, editor));
        return editor;
    }
    int Modified(int row, int column) const
    {
        int count = 0;
        for (const auto& notice : notices) {
            count += notice == std::vector<int>{NotifyModified, row, column};
        }
        return count;
    }
    std::vector<std::string> Column(int index) const
    {
        std::vector<std::string> texts;
        for (int row = 0; row < list.Model().GetItemCount(); ++row) {
            texts.push_back(list.Model().GetItemText(row, index));
        }
        return texts;
    }

    HWND parent = nullptr;
    HWND window = nullptr;
    HIMAGELIST images = nullptr;
    PasswordListControl list;
};

} // namespace list_window_test
