// The date editor: a date-and-time picker in the user's own formats, with a
// check box for "no date" where the cell allows one.
#include "listctrl/date_editor.h"
#include "listctrl/list_date.h"
#include "listctrl/list_window.h"

namespace {

constexpr int kDatePickerId = 3;

std::string LocaleText(LCTYPE type)
{
    char text[128] = {};
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text) > 0 ? text : "";
}

} // namespace

bool DateEditor::Open(ListDateTime value)
{
    // The picker's class is registered on demand, not by the list's set-up.
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_DATE_CLASSES};
    InitCommonControlsEx(&classes);
    font.reset(list.Look().MakeFont());
    if (!font) {
        return false;
    }
    DWORD style = WS_CHILD;
    if (cell.flags & FlagTimeOnly) {
        style |= DTS_UPDOWN;
    }
    if (cell.flags & FlagNoDate) {
        style |= DTS_SHOWNONE;
    }
    const HWND created = CreateOverCell(DATETIMEPICK_CLASSA, "", style, kDatePickerId, 3, 2, 3, 2);
    if (!Adopt(created)) {
        return false;
    }
    // Flat in its cell, without the sunken edge the picker gives itself.
    SetWindowLongPtrA(created, GWL_EXSTYLE,
                      GetWindowLongPtrA(created, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
    SetWindowPos(created, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SendMessageA(created, DTM_SETMCFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    const std::string format = DisplayFormat();
    SendMessageA(created, DTM_SETFORMATA, 0,
                 format.empty() ? 0 : reinterpret_cast<LPARAM>(format.c_str()));
    SetValue(value);
    ShowWindow(created, SW_SHOW);
    SetFocus(created);
    return true;
}

std::string DateEditor::DisplayFormat() const
{
    const std::string date = LocaleText(LOCALE_SSHORTDATE);
    const std::string time = LocaleText(LOCALE_STIMEFORMAT);
    if (cell.flags & FlagDateOnly) {
        return date;
    }
    if (cell.flags & FlagTimeOnly) {
        return time;
    }
    return date.empty() || time.empty() ? std::string() : date + " " + time;
}

void DateEditor::SetValue(ListDateTime value)
{
    if (cell.flags & FlagTimeOnly) {
        SYSTEMTIME today{};
        GetLocalTime(&today);
        value.year = today.wYear;
        value.month = today.wMonth;
        value.day = today.wDay;
    }
    if (value.year == 0) {
        SendMessageA(Control(), DTM_SETSYSTEMTIME, GDT_NONE, 0);
        return;
    }
    SYSTEMTIME time = ToSystemTime(value);
    SendMessageA(Control(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

void DateEditor::OnCloseUp()
{
    if (open) {
        SetFocus(Control());
    }
}

bool DateEditor::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message != WM_KILLFOCUS) {
        return false;
    }
    result = DefaultProc(message, wParam, lParam);
    // The drop-down calendar is part of the picker: going there ends nothing.
    const auto gaining = reinterpret_cast<HWND>(wParam);
    const auto calendar = reinterpret_cast<HWND>(SendMessageA(Control(), DTM_GETMONTHCAL, 0, 0));
    if (gaining != nullptr &&
        (IsChild(Control(), gaining) ||
         (calendar != nullptr && (gaining == calendar || IsChild(calendar, gaining))))) {
        return true;
    }
    End();
    return true;
}

void DateEditor::End()
{
    SendMessageA(Control(), DTM_CLOSEMONTHCAL, 0, 0);
    SYSTEMTIME picked{};
    const bool set = SendMessageA(Control(), DTM_GETSYSTEMTIME, 0,
                                  reinterpret_cast<LPARAM>(&picked)) == GDT_VALID;
    if (!set) {
        picked = SYSTEMTIME{};
    }
    if (cell.flags & FlagDateOnly) {
        picked.wHour = picked.wMinute = picked.wSecond = picked.wMilliseconds = 0;
    }
    if (cell.flags & FlagTimeOnly) {
        picked.wYear = picked.wMonth = picked.wDay = picked.wDayOfWeek = 0;
    }
    Finish(set ? "1" : "0", &picked);
}
