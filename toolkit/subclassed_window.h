#pragma once

#include <windows.h>

// Takes over the window procedure of a control that already exists (one the
// dialog template created). Messages the object does not handle go on to the
// procedure the control had before.
class SubclassedWindow {
public:
    SubclassedWindow() = default;
    SubclassedWindow(const SubclassedWindow&) = delete;
    SubclassedWindow& operator=(const SubclassedWindow&) = delete;
    virtual ~SubclassedWindow();

    // Must run on the thread that owns the window. Answers false when the
    // window cannot be taken over; it then keeps its plain behaviour.
    bool Subclass(HWND hwnd);
    void Unsubclass();

    HWND Handle() const { return window; }

protected:
    // Handles one message; the default passes it on unchanged.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR refData);

    HWND window = nullptr;
};

// The progress bar needs nothing of its own; the wrapper gives the batch a
// window it reaches through the dialog's object like every other control.
class ProgressBarWindow final : public SubclassedWindow {};
