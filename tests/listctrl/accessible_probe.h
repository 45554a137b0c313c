// What the accessibility tests share: asking an IAccessible the way a screen
// reader does, and a win-event listener that records what the controls
// announce.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/accessible_object.h"

namespace accessible_probe {

constexpr long kSelectedAndFocused = STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED;

inline VARIANT Child(long id)
{
    VARIANT child{};
    V_VT(&child) = VT_I4;
    V_I4(&child) = id;
    return child;
}

// The child id a VARIANT answer names; -1 for VT_EMPTY or anything else.
inline long IdOf(const VARIANT& answer)
{
    return V_VT(&answer) == VT_I4 ? V_I4(&answer) : -1;
}

struct Releaser {
    void operator()(IUnknown* object) const { object->Release(); }
};

// Holds one reference to an object and asks it what a screen reader asks: ""
// or -1 where it has no answer.
class Held : public std::unique_ptr<IAccessible, Releaser> {
public:
    using unique_ptr::unique_ptr;
    std::string Name(long id) const { return Text(&IAccessible::get_accName, id); }
    std::string Action(long id) const { return Text(&IAccessible::get_accDefaultAction, id); }
    long Role(long id) const { return Number(&IAccessible::get_accRole, id); }
    long State(long id) const { return Number(&IAccessible::get_accState, id); }

private:
    template <typename Getter>
    std::string Text(Getter getter, long id) const
    {
        BSTR text = nullptr;
        (get()->*getter)(Child(id), &text);
        // As the program's ANSI text: at most 4 bytes for each UTF-16 unit.
        const int length = static_cast<int>(SysStringLen(text));
        std::string narrow(static_cast<std::size_t>(length) * 4, '\0');
        narrow.resize(static_cast<std::size_t>(WideCharToMultiByte(
            CP_ACP, 0, text, length, narrow.data(), length * 4, nullptr, nullptr)));
        SysFreeString(text);
        return narrow;
    }
    template <typename Getter>
    long Number(Getter getter, long id) const
    {
        VARIANT answer{};
        (get()->*getter)(Child(id), &answer);
        return IdOf(answer);
    }
};

// A control's object as a screen reader gets it, through the system (which
// works under this Wine); where the system cannot hand it over, the one its
// WM_GETOBJECT answers with, from the control.
template <typename Control>
IAccessible* ObjectOf(Control& control, long role)
{
    IAccessible* object = nullptr;
    if (AccessibleObjectFromWindow(control.Handle(), OBJID_CLIENT, kAccessibleInterface,
                                   reinterpret_cast<void**>(&object)) == S_OK) {
        Held found(object); // or the system's stand-in, not the control's own
        if (found.Role(CHILDID_SELF) == role) {
            return found.release();
        }
    }
    return control.Accessible();
}

struct WinEvent {
    HWND window;
    DWORD event;
    LONG child;
};

// Records what the client objects of the process's windows announce. Out of
// context, so the events reach the listening thread while it handles
// messages or waits for a sent one to be answered: Heard pumps first.
class EventListener {
public:
    EventListener() { heard.clear(); }
    ~EventListener() { UnhookWinEvent(hook); }

    // What the window's client object announced since the last call.
    std::vector<WinEvent> Heard(HWND window)
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        std::vector<WinEvent> events;
        std::copy_if(heard.begin(), heard.end(), std::back_inserter(events),
                     [window](const WinEvent& each) { return each.window == window; });
        heard.clear();
        return events;
    }

private:
    static void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                 DWORD, DWORD)
    {
        if (object == OBJID_CLIENT) {
            heard.push_back(WinEvent{window, event, child});
        }
    }

    static inline std::vector<WinEvent> heard;
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, OnEvent,
                                               GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
};

constexpr LONG kAnyChild = -1;

// How often the event was heard, about the child or about any.
inline int Count(const std::vector<WinEvent>& events, DWORD event, LONG child = kAnyChild)
{
    return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const WinEvent& each) {
        return each.event == event && (child == kAnyChild || each.child == child);
    }));
}

} // namespace accessible_probe
