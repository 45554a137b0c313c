#pragma once

#include <windows.h>

#include <mutex>
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

extern Module module;
