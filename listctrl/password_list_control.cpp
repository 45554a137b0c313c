#include "listctrl/password_list_control.h"

PasswordListControl::PasswordListControl() : model(this) {}

bool PasswordListControl::RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassA(&windowClass) != 0) {
        return true;
    }
    // A second dialog in the same process finds the class already there.
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool PasswordListControl::Setup()
{
    if (Handle() == nullptr) {
        return false;
    }
    model.focusCellMode = false;
    ResetScrollBars();
    return true;
}

LRESULT PasswordListControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kBringIntoViewTimer) {
        KillTimer(Handle(), kBringIntoViewTimer);
        BringFocusIntoView();
        return 0;
    }
    return DefaultProc(message, wParam, lParam);
}

int PasswordListControl::ScrollPosition(int bar) const
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    return GetScrollInfo(Handle(), bar, &info) ? info.nPos : 0;
}

void PasswordListControl::ResetScrollBars()
{
    if (Handle() == nullptr) {
        return;
    }
    RECT client{};
    GetClientRect(Handle(), &client);
    const int header = model.showHeader ? model.headerHeight : 0;

    SCROLLINFO vertical{};
    vertical.cbSize = sizeof vertical;
    vertical.fMask = SIF_RANGE | SIF_PAGE;
    const int totalHeight = header + model.GetItemCount() * model.rowHeight;
    const int page = client.bottom - header;
    vertical.nMax = page + header >= totalHeight ? 0 : totalHeight;
    vertical.nPage = static_cast<UINT>(page > 0 ? page : 0);
    verticalBarShown = SetScrollInfo(Handle(), SB_VERT, &vertical, TRUE) && totalHeight > 0;

    SCROLLINFO horizontal{};
    horizontal.cbSize = sizeof horizontal;
    horizontal.fMask = SIF_RANGE | SIF_PAGE;
    const int lastColumnPixel = model.GetTotalWidth();
    const bool fits = static_cast<unsigned>(client.right) >= static_cast<unsigned>(lastColumnPixel);
    horizontal.nMax = fits ? 0 : lastColumnPixel;
    horizontal.nPage = static_cast<UINT>(client.right);
    horizontalBarShown = SetScrollInfo(Handle(), SB_HORZ, &horizontal, TRUE) &&
                         static_cast<int>(horizontal.nPage) < horizontal.nMax;

    InvalidateRect(Handle(), nullptr, TRUE);
}

void PasswordListControl::Repaint()
{
    if (Handle() != nullptr) {
        InvalidateRect(Handle(), nullptr, TRUE);
    }
}

bool PasswordListControl::IsRowFullyVisible(int row) const
{
    if (model.rowHeight <= 0) {
        return true; // nothing is laid out yet, so nothing can be out of view
    }
    RECT client{};
    GetClientRect(Handle(), &client);
    const int header = model.showHeader ? model.headerHeight : 0;
    const int top = header + row * model.rowHeight - ScrollPosition(SB_VERT);
    return top >= header && top + model.rowHeight <= client.bottom;
}

void PasswordListControl::FollowFocus()
{
    if (Handle() == nullptr || model.focusRow < 0) {
        return;
    }
    if (!IsRowFullyVisible(model.focusRow)) {
        // Restarted by every new selection, so a batch scrolls once, after
        // its last row.
        SetTimer(Handle(), kBringIntoViewTimer, kBringIntoViewDelay, nullptr);
    }
}

void PasswordListControl::BringFocusIntoView()
{
    const int row = model.focusRow;
    if (row < 0 || row >= model.GetItemCount() || model.rowHeight <= 0 || IsRowFullyVisible(row)) {
        return;
    }
    RECT client{};
    GetClientRect(Handle(), &client);
    const int header = model.showHeader ? model.headerHeight : 0;
    const int rowTop = row * model.rowHeight;
    int position = ScrollPosition(SB_VERT);
    if (rowTop < position) {
        position = rowTop;
    } else {
        position = rowTop + model.rowHeight - (client.bottom - header);
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
    InvalidateRect(Handle(), nullptr, TRUE);
}

std::intptr_t PasswordListControl::Notify(const ListEvent& event)
{
    if (Handle() == nullptr) {
        return 0;
    }
    SYSTEMTIME time{};
    if (event.dateTime != nullptr) {
        time.wYear = static_cast<WORD>(event.dateTime->year);
        time.wMonth = static_cast<WORD>(event.dateTime->month);
        time.wDayOfWeek = static_cast<WORD>(event.dateTime->dayOfWeek);
        time.wDay = static_cast<WORD>(event.dateTime->day);
        time.wHour = static_cast<WORD>(event.dateTime->hour);
        time.wMinute = static_cast<WORD>(event.dateTime->minute);
        time.wSecond = static_cast<WORD>(event.dateTime->second);
        time.wMilliseconds = static_cast<WORD>(event.dateTime->milliseconds);
    }
    ListNotify notify{};
    notify.header.hwndFrom = Handle();
    notify.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(Handle()));
    notify.header.code = static_cast<UINT>(event.code);
    notify.row = event.row;
    notify.column = event.column;
    notify.key = event.key;
    notify.text = const_cast<char*>(event.text);
    notify.dateTime = event.dateTime != nullptr ? &time : nullptr;
    return SendMessageA(GetParent(Handle()), WM_NOTIFY, notify.header.idFrom,
                        reinterpret_cast<LPARAM>(&notify));
}

int PasswordListControl::SystemImageWidth()
{
    return 0; // the header's images arrive with the header's painting
}
