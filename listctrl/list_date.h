#pragma once

#include <windows.h>

#include "listctrl/list_model.h"

// The model's date record and the system's, field by field: the record
// follows SYSTEMTIME's order, so each field has its twin.
inline SYSTEMTIME ToSystemTime(const ListDateTime& date)
{
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDayOfWeek = static_cast<WORD>(date.dayOfWeek);
    time.wDay = static_cast<WORD>(date.day);
    time.wHour = static_cast<WORD>(date.hour);
    time.wMinute = static_cast<WORD>(date.minute);
    time.wSecond = static_cast<WORD>(date.second);
    time.wMilliseconds = static_cast<WORD>(date.milliseconds);
    return time;
}

inline ListDateTime FromSystemTime(const SYSTEMTIME& time)
{
    return ListDateTime{time.wYear, time.wMonth,  time.wDayOfWeek, time.wDay,
                        time.wHour, time.wMinute, time.wSecond,    time.wMilliseconds};
}
