// What the accessibility tests share: asking an IAccessible the way a screen
// reader does, and a win-event listener that records what the controls
// announce.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <utility>
#include <vector>

#include "toolkit/accessible_object.h"

namespace accessible_probe {

// Holds one reference to an object and lets it go at the end.
class Held {
public:
    explicit Held(IAccessible* held) : object(held) {}
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held()
    {
        if (object != nullptr) {
            object->Release();
        }
    }
    IAccessible* get() const { return object; }
    IAccessible* operator->() const { return object; }
    // Gives the reference back to the caller.
    IAccessible* release() { return std::exchange(object, nullptr); }

private:
    IAccessible* object;
};

inline VARIANT Child(long id)
{
    VARIANT child;
    VariantInit(&child);
    V_VT(&child) = VT_I4;
    V_I4(&child) = id;
    return child;
}

// A returned string as the program's ANSI text, freed.
inline std::string Take(BSTR text)
{
    std::string narrow;
    if (text != nullptr) {
        const int length = static_cast<int>(SysStringLen(text));
        narrow.resize(static_cast<std::size_t>(
            WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr)));
        WideCharToMultiByte(CP_ACP, 0, text, length, narrow.data(), static_cast<int>(narrow.size()),
                            nullptr, nullptr);
        SysFreeString(text);
    }
    return narrow;
}

inline std::string Name(IAccessible* object, long id)
{
    BSTR name = nullptr;
    object->get_accName(Child(id), &name);
    return Take(name);
}

inline std::string DefaultAction(IAccessible* object, long id)
{
    BSTR action = nullptr;
    object->get_accDefaultAction(Child(id), &action);
    return Take(action);
}

// Role and state as numbers; -1 when the object gave none.
inline long Role(IAccessible* object, long id)
{
    VARIANT role;
    VariantInit(&role);
    return SUCCEEDED(object->get_accRole(Child(id), &role)) && V_VT(&role) == VT_I4 ? V_I4(&role)
                                                                                    : -1;
}

inline long State(IAccessible* object, long id)
{
    VARIANT state;
    VariantInit(&state);
    return SUCCEEDED(object->get_accState(Child(id), &state)) && V_VT(&state) == VT_I4
               ? V_I4(&state)
               : -1;
}

// A control's object as a screen reader gets it, through the system (which
// works under this Wine, in process and across processes); where the system
// cannot hand it over, the one its WM_GETOBJECT answers with, from the
// control.
template <typename Control>
IAccessible* ObjectOf(Control& control, long role)
{
    IAccessible* object = nullptr;
    if (AccessibleObjectFromWindow(control.Handle(), OBJID_CLIENT, kAccessibleInterface,
                                   reinterpret_cast<void**>(&object)) == S_OK) {
        if (Role(object, CHILDID_SELF) == role) {
            return object;
        }
        object->Release(); // the system's stand-in, not the control's own
    }
    return control.Accessible();
}

// The child id a VARIANT answer names; -1 for VT_EMPTY or anything else.
inline long IdOf(const VARIANT& answer)
{
    return V_VT(&answer) == VT_I4 ? V_I4(&answer) : -1;
}

struct WinEvent {
    DWORD event;
    LONG child;
};

// Records what the client objects of the process's windows announce. Out of
// context, so the events reach the listening thread while it handles
// messages or waits for a sent one to be answered: Heard pumps first.
class EventListener {
public:
    EventListener()
    {
        heard.clear();
        hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, OnEvent, GetCurrentProcessId(), 0,
                               WINEVENT_OUTOFCONTEXT);
    }
    EventListener(const EventListener&) = delete;
    EventListener& operator=(const EventListener&) = delete;
    ~EventListener() { UnhookWinEvent(hook); }

    bool Hooked() const { return hook != nullptr; }

    // What the window's client object announced since the last call.
    std::vector<WinEvent> Heard(HWND window)
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        std::vector<WinEvent> events;
        std::vector<Record> others;
        for (const Record& record : heard) {
            if (record.window == window) {
                events.push_back(record.event);
            } else {
                others.push_back(record);
            }
        }
        heard.swap(others);
        return events;
    }

private:
    struct Record {
        HWND window;
        WinEvent event;
    };

    static void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child,
                                 DWORD, DWORD)
    {
        if (object == OBJID_CLIENT) {
            heard.push_back(Record{hwnd, WinEvent{event, child}});
        }
    }

    static inline std::vector<Record> heard;
    HWINEVENTHOOK hook = nullptr;
};

inline bool Contains(const std::vector<WinEvent>& events, DWORD event, LONG child)
{
    for (const WinEvent& each : events) {
        if (each.event == event && each.child == child) {
            return true;
        }
    }
    return false;
}

inline int Count(const std::vector<WinEvent>& events, DWORD event)
{
    int count = 0;
    for (const WinEvent& each : events) {
        count += each.event == event;
    }
    return count;
}

} // namespace accessible_probe
