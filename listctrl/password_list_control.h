#pragma once

#include <windows.h>

#include <commctrl.h>

#include "listctrl/list_model.h"
#include "toolkit/subclassed_window.h"

// The record of the list's WM_NOTIFY messages.
struct ListNotify {
    NMHDR header;
    int row;
    int column; // data index; 0 when no column is concerned
    BYTE key;
    char* text;
    SYSTEMTIME* dateTime;
};

// The password list: control 1026, window class "ListCtrl". The dialog
// template creates a plain window of the class; binding the object takes it
// over. The rows live in the model and change only on the window's thread.
class PasswordListControl final : public SubclassedWindow, private ListModelHost {
public:
    static constexpr const char* kClassName = "ListCtrl";
    static constexpr UINT_PTR kBringIntoViewTimer = 1002;
    static constexpr UINT kBringIntoViewDelay = 250;

    PasswordListControl();

    // Registers the window class so the dialog template can create the
    // control; answers false when the class cannot be registered.
    static bool RegisterWindowClass(HINSTANCE instance);

    // The list's own set-up, once the window has been taken over.
    bool Setup();

    ListModel& Model() { return model; }
    const ListModel& Model() const { return model; }

    // The images of the cells' image field; lent, never freed by the list.
    void SetImageList(HIMAGELIST images) { itemImages = images; }
    HIMAGELIST ImageList() const { return itemImages; }

    // Scrolls the focused row into view (the end of the bring-into-view wait).
    void BringFocusIntoView();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // ListModelHost
    void ResetScrollBars() override;
    void Repaint() override;
    void FollowFocus() override;
    std::intptr_t Notify(const ListEvent& event) override;
    int SystemImageWidth() override;

    bool IsRowFullyVisible(int row) const;
    int ScrollPosition(int bar) const;

    ListModel model;
    HIMAGELIST itemImages = nullptr;
    bool verticalBarShown = false;
    bool horizontalBarShown = false;
};
