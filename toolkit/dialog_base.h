#pragma once

#include <windows.h>

// A modal dialog joined to its object. The object is recorded with the module
// before the dialog is created and claimed at the dialog's first message, so
// every message from the first on reaches ProcessMessage.
class DialogBase {
public:
    DialogBase() = default;
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;
    virtual ~DialogBase() = default;

    // Runs the dialog from the template until EndDialog; answers its result,
    // or -1 when the dialog could not be created.
    INT_PTR DoModal(HWND owner, int templateId);

    HWND Handle() const { return window; }

protected:
    // The message map. Answers true when the message was handled; result is
    // then the message's answer.
    virtual bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

    void EndDialog(INT_PTR result);

    // Sends a child's notification back to the child with the message number
    // raised by 0x2000, so controls handle their own notifications. Answers
    // false when no child is concerned.
    bool ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Passes a system-wide notice (colours, settings, fonts), which Windows
    // gives top-level windows only, on to each of the dialog's controls.
    void ForwardToControls(UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    static INT_PTR CALLBACK StartDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window = nullptr;
    bool setUp = false; // WM_INITDIALOG has run
};

// Message numbers of reflected notifications.
inline constexpr UINT kReflectedMessageBase = 0x2000;
