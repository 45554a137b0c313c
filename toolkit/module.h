#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

// The program's module: its instance handle, the thread that started it, and
// the window objects created on some thread that wait for their first window
// message to learn their window handle.
class Module {
public:
    bool Init(HINSTANCE instanceHandle);
    void Term();

    HINSTANCE Instance() const { return instance; }
    DWORD MainThreadId() const { return mainThreadId; }

    // Records an object that is about to create a window on this thread.
    void AddPendingWindow(void* object);
    // Takes the calling thread's oldest pending object; null when none waits.
    void* TakePendingWindow();
    // Forgets an object's record if it is still waiting.
    void RemovePendingWindow(void* object);

private:
    struct Pending {
        void* object;
        DWORD threadId;
    };

    HINSTANCE instance = nullptr;
    DWORD mainThreadId = 0;
    std::mutex lock;
    std::vector<Pending> pending;
};

extern Module programModule;

// The full path of a module's file (null: the executable), however long;
// empty when it cannot be had.
std::string ModuleFileName(HMODULE handle);

// The growing-buffer loop behind ModuleFileName. fetch fills a buffer of the
// given size the way GetModuleFileNameA does: it answers the length copied,
// the size itself when the path was cut, or 0 on failure.
std::string ReadGrowingPath(const std::function<DWORD(char* buffer, DWORD size)>& fetch);
