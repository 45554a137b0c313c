#include "toolkit/dialog_base.h"

#include "toolkit/module.h"
#include "toolkit/posted_message_filter.h"

namespace {

// WM_CTLCOLORMSGBOX to WM_CTLCOLORSTATIC: the seven colour requests.
bool IsColourRequest(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

} // namespace

INT_PTR DialogBase::DoModal(HWND owner, int templateId)
{
    programModule.AddPendingWindow(this);
    // The reflection below reads the structures notifications point to: a
    // posted one, from anywhere, never gets that far.
    const PostedMessageFilter filter;
    const INT_PTR result = DialogBoxParamA(programModule.Instance(), MAKEINTRESOURCEA(templateId),
                                           owner, StartDialogProc, 0);
    // When the dialog never received a message, our record must not join a
    // later dialog of this thread to this object.
    programModule.RemovePendingWindow(this);
    window = nullptr;
    setUp = false;
    return result;
}

void DialogBase::EndDialog(INT_PTR result)
{
    ::EndDialog(window, result);
}

INT_PTR CALLBACK DialogBase::StartDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<DialogBase*>(programModule.TakePendingWindow());
    if (self == nullptr) {
        return FALSE;
    }
    self->window = hwnd;
    SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    SetWindowLongPtrA(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(DialogProc));
    return DialogProc(hwnd, message, wParam, lParam);
}

INT_PTR CALLBACK DialogBase::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<DialogBase*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    if (IsForeignLifecycleMessage(message) || (message == WM_INITDIALOG && self->setUp)) {
        // Handled as far as the dialog manager is concerned, so it does not
        // act on it either (it would free the dialog's own data on a
        // destruction that is not happening). The set-up runs once.
        return TRUE;
    }
    if (message == WM_INITDIALOG) {
        self->setUp = true;
    }
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the system's dialog manager.
        return FALSE;
    }
}

INT_PTR DialogBase::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!ProcessMessage(message, wParam, lParam, result)) {
        return FALSE;
    }
    // These messages answer through the return value itself; every other one
    // through the dialog's message-result slot.
    switch (message) {
    case WM_INITDIALOG:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
    case WM_COMPAREITEM:
    case WM_QUERYDRAGICON:
        return static_cast<INT_PTR>(result);
    default:
        if (IsColourRequest(message)) {
            return static_cast<INT_PTR>(result);
        }
        SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

namespace {

// The child a notification concerns, or null when the message is not one
// that is reflected.
HWND ReflectionTarget(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The item structures and notification headers are read only where the
    // message can hold one; posted ones never arrive (PostedMessageFilter).
    const bool item = wParam != 0 && lParam != 0;
    switch (message) {
    case WM_DRAWITEM:
        return item ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_MEASUREITEM:
        return item ? GetDlgItem(dialog, reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlID)
                    : nullptr;
    case WM_DELETEITEM:
        return item ? GetDlgItem(dialog, reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->CtlID)
                    : nullptr;
    case WM_COMPAREITEM:
        return item ? GetDlgItem(dialog, reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->CtlID)
                    : nullptr;
    case WM_NOTIFY:
        return lParam != 0 ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_COMMAND:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return reinterpret_cast<HWND>(lParam);
    case WM_PARENTNOTIFY: {
        const UINT event = LOWORD(wParam);
        if (event == WM_CREATE || event == WM_DESTROY) {
            return reinterpret_cast<HWND>(lParam);
        }
        return GetDlgItem(dialog, HIWORD(wParam));
    }
    default:
        return IsColourRequest(message) ? reinterpret_cast<HWND>(lParam) : nullptr;
    }
}

} // namespace

bool DialogBase::ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const HWND child = ReflectionTarget(window, message, wParam, lParam);
    // Only the dialog's own controls hear their notices again.
    if (child == nullptr || child == window || !IsChild(window, child)) {
        return false;
    }
    result = SendMessageA(child, message + kReflectedMessageBase, wParam, lParam);
    if (IsColourRequest(message) && result == 0) {
        return false; // no brush from the child: the dialog's own colours apply
    }
    return true;
}

void DialogBase::ForwardToControls(UINT message, WPARAM wParam, LPARAM lParam) const
{
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageA(child, message, wParam, lParam);
    }
}
